# The plot widgets library on the offscreen platform: legends, trackers,
# scale labels and axis dialogs; the decimating curve against Qwt's own
# drawing; the spectrum plot with its markers, zoom and axis dialogs.
sfp_add_test(test_plots_widgets GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_plots_widgets.cpp
  LIBS sfp_plots)
sfp_add_test(test_plots_curve GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_plots_curve.cpp
  LIBS sfp_plots)
sfp_add_test(test_plots_spectrum GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_plots_spectrum.cpp
  LIBS sfp_plots)
