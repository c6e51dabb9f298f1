# Opening the card window with 2, 8, 64 and 256 cards: time and peak memory
# (run by hand).
add_executable(bench_app_open ${CMAKE_CURRENT_LIST_DIR}/bench_app_open.cpp)
target_link_libraries(bench_app_open PRIVATE sfp_card sfp_resources Qt5::Test)

# One refresh of the waveform panel (stored file, time plot, spectra): 1 and
# 8 cards, clean sines and full-scale noise (run by hand).
add_executable(bench_app_refresh ${CMAKE_CURRENT_LIST_DIR}/bench_app_refresh.cpp)
target_include_directories(bench_app_refresh PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(bench_app_refresh PRIVATE sfp_card sfp_resources sfp_testsupport trellin_sim_formula Qt5::Test)

# Streaming 8 simulated cards through the card window for a minute, with the
# display refreshing (run by hand). Drives the window as the tests do.
add_executable(bench_app_stream ${CMAKE_CURRENT_LIST_DIR}/bench_app_stream.cpp)
target_include_directories(bench_app_stream PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(bench_app_stream PRIVATE sfp_card sfp_resources sfp_testsupport trellin_sim_formula Qt5::Test)

# What the spectrum averaging and the measurement details add in the card
# window, against the pages without them in the same run (run by hand).
add_executable(bench_app_pages ${CMAKE_CURRENT_LIST_DIR}/bench_app_pages.cpp)
target_include_directories(bench_app_pages PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(bench_app_pages PRIVATE sfp_card sfp_resources sfp_testsupport trellin_sim_formula Qt5::Test)
