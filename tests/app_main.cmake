# The 6842 main window: pages per card, apply to all, calibrate all, the
# voltage-reference table and the stored-file preset.
sfp_add_test(test_app_main GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_main.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_connect_modal.h
          ${CMAKE_CURRENT_LIST_DIR}/test_sim_helpers.h
          ${CMAKE_CURRENT_LIST_DIR}/test_app_window.h
  LIBS sfp_card)
# The sample plug-in must sit next to the test program.
add_dependencies(test_app_main nv3520fp)
