# The channel configuration panel and its widget-free rules.
sfp_add_test(test_logic_chcfg SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_logic_chcfg.cpp
  LIBS sfp_cardlogic)
sfp_add_test(test_panels_chcfg GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_panels_chcfg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_sim_helpers.h LIBS sfp_panels)
