# Opening the card window with 2, 8, 64 and 256 cards: time and peak memory
# (run by hand).
add_executable(bench_app_open ${CMAKE_CURRENT_LIST_DIR}/bench_app_open.cpp)
target_link_libraries(bench_app_open PRIVATE sfp_card sfp_resources Qt5::Test)
