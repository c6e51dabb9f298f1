# Settings files of the card window on the simulated cards: save, change,
# load and the journal of what reached the cards; faults in files and saves.
sfp_add_test(test_app_settings GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_settings.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_app_window.h
  LIBS sfp_card)
# The settings file's text, headless.
sfp_add_test(test_logic_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_logic_settings.cpp
  LIBS sfp_cardlogic)
