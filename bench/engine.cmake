# Streaming through the acquisition engine to a file (run by hand).
add_executable(bench_engine_stream ${CMAKE_CURRENT_LIST_DIR}/bench_engine_stream.cpp)
target_link_libraries(bench_engine_stream PRIVATE sfp_engine)
# Long recordings: the trend log's cost and a file set's seams (run by hand).
add_executable(bench_engine_longrec ${CMAKE_CURRENT_LIST_DIR}/bench_engine_longrec.cpp)
target_link_libraries(bench_engine_longrec PRIVATE sfp_engine)
