# The acquisition engine (softfrontpanel/engine) on the simulated instrument:
# texts, set-up, block helpers, timed start, streaming to file, the recorder.
sfp_add_test(test_engine_setup SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_engine_setup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_sim_helpers.h LIBS sfp_engine trellin_sim_formula)
sfp_add_test(test_engine_stream SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_engine_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_engine_helpers.h LIBS sfp_engine trellin_sim_formula)
sfp_add_test(test_engine_recorder SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_engine_recorder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_engine_helpers.h LIBS sfp_files trellin_sim_formula sfp_driver Qt5::Core)
target_compile_definitions(test_engine_recorder PRIVATE SFPRECORD_PATH="$<TARGET_FILE:sfprecord>")
add_dependencies(test_engine_recorder sfprecord)
