# The card window streaming to file, timed starts on an LXI carrier, failures
# while acquiring and the synchronisation question of cards on several hosts.
sfp_add_test(test_app_stream GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_stream.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_app_window.h
  LIBS sfp_card trellin_sim_formula)
