# The framework's widgets, driven on the offscreen platform.
sfp_add_test(test_widgets_frame SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_widgets_frame.cpp
  LIBS sfp_widgets GUI)
sfp_add_test(test_widgets_ptp SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_widgets_ptp.cpp
  LIBS sfp_widgets GUI)
sfp_add_test(test_widgets_digit SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_widgets_digit.cpp
  LIBS sfp_widgets GUI)
sfp_add_test(test_widgets_about SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_widgets_about.cpp
  LIBS sfp_widgets GUI)
