# The 6842-specific side: card description (gl_fc), start-up and the program.
add_library(sfp_card STATIC
  ${CMAKE_CURRENT_LIST_DIR}/nv6842_fc.h
  ${CMAKE_CURRENT_LIST_DIR}/nv6842_fc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv6842fp_globals.h
  ${CMAKE_CURRENT_LIST_DIR}/nv6842fp_globals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv6842fp_startup.h
  ${CMAKE_CURRENT_LIST_DIR}/nv6842fp_startup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv6842fp_startWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/nv6842fp_startWindow.cpp)
set_target_properties(sfp_card PROPERTIES AUTOMOC ON)
target_include_directories(sfp_card PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sfp_card PUBLIC sfp_connect sfp_widgets sfp_core sfp_files sfp_driver Qt5::Widgets)

add_executable(nv6842fp ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(nv6842fp PRIVATE sfp_card sfp_resources)
