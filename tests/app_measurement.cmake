# The measurement panel of a window started with "-acperf": the table for
# stored sines, short blocks, failure messages and the clipboard text.
sfp_add_test(test_app_measurement GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_measurement.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_app_window.h
  LIBS sfp_card)
# The measurement page's details, analysis settings, averaged figures,
# leakage warning and coherent-frequency helper.
sfp_add_test(test_app_measurementpage GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_measurementpage.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_app_window.h
  LIBS sfp_card)
