# The streaming settings dialog and its widget-free rules.
sfp_add_test(test_logic_acqconfig SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_logic_acqconfig.cpp
  LIBS sfp_cardlogic)
sfp_add_test(test_panels_acqconfig GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_panels_acqconfig.cpp
  LIBS sfp_panels)
