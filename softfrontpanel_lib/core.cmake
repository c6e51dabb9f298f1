# Card description interface, message seam and splash picture: the pieces of
# the framework every other part reports through.
add_library(sfp_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_genFC.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_messages.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_splashLabel.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_splashLabel.cpp)
set_target_properties(sfp_core PROPERTIES AUTOMOC ON)
target_include_directories(sfp_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sfp_core PUBLIC sfp_driver Qt5::Widgets)
