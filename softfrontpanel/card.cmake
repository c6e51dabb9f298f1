# The 6842-specific side: card description (gl_fc) and start-up.
add_library(sfp_card STATIC
  ${CMAKE_CURRENT_LIST_DIR}/nv6842_fc.h
  ${CMAKE_CURRENT_LIST_DIR}/nv6842_fc.cpp)
target_include_directories(sfp_card PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sfp_card PUBLIC sfp_core sfp_driver)
