# Tests of the simulated instrument (driver/): VISA search, common library,
# sessions, block acquisition and continuous streaming.
sfp_add_test(test_sim_visa SOURCES test_sim_visa.cpp test_sim_helpers.h
  LIBS sfp_driver trellin_sim_formula)
sfp_add_test(test_sim_session SOURCES test_sim_session.cpp test_sim_helpers.h
  LIBS sfp_driver trellin_sim_formula)
sfp_add_test(test_sim_block SOURCES test_sim_block.cpp test_sim_helpers.h
  LIBS sfp_driver trellin_sim_formula)
sfp_add_test(test_sim_stream SOURCES test_sim_stream.cpp test_sim_helpers.h
  LIBS sfp_driver trellin_sim_formula)
