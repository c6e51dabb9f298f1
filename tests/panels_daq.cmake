# The acquisition page, the output-trigger group and the synchronisation
# dialog on the simulated driver; their widget-free rules headless.
sfp_add_test(test_panels_daq GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_panels_daq.cpp
  LIBS sfp_panels sfp_card)
sfp_add_test(test_logic_daq SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_logic_daq.cpp
  LIBS sfp_cardlogic)
# The caption of plot pictures, headless.
sfp_add_test(test_logic_caption SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_logic_caption.cpp
  LIBS sfp_cardlogic)
