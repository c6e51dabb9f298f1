# The waveform panel: demo waves, blocks from the simulated cards, offline
# viewing and the display spectrum.
sfp_add_test(test_app_waveform GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_waveform.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_app_window.h
  LIBS sfp_card)
# The spectrum page's averaging, units and harmonic labels.
sfp_add_test(test_app_spectrumpage GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_spectrumpage.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_app_window.h
  LIBS sfp_card)
