# Instrument discovery and connection.
sfp_add_test(test_connect_descriptor
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_connect_descriptor.cpp
  LIBS sfp_search)
sfp_add_test(test_connect_search
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_connect_search.cpp
  LIBS sfp_carddesc)
sfp_add_test(test_connect_select GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_connect_select.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_connect_modal.h
  LIBS sfp_connect sfp_card)
sfp_add_test(test_connect_address GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_connect_address.cpp
  LIBS sfp_connect sfp_card)
sfp_add_test(test_connect_appfc GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_connect_appfc.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_connect_modal.h
  LIBS sfp_connect sfp_card)
sfp_add_test(test_connect_scu GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_connect_scu.cpp
  LIBS sfp_connect)
# The sample plug-in must sit next to the test programs.
add_dependencies(test_connect_scu nv3520fp)
