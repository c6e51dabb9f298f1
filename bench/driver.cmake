# Streaming throughput of the simulated instrument (run by hand).
add_executable(bench_sim_stream ${CMAKE_CURRENT_LIST_DIR}/bench_sim_stream.cpp)
target_link_libraries(bench_sim_stream PRIVATE sfp_driver trellin_sim_formula)
