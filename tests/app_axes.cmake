# The axis dialogs of the time plot in the card window: opened by a click on
# an axis, ranges, autoscale, custom units and the tracker.
sfp_add_test(test_app_axes GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_axes.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_app_window.h
  LIBS sfp_card)
