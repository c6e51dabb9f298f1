# Signal analysis, run by hand: display spectra of a 16-channel block and one
# card's measurement at the panel's zero-padding factors.
add_executable(bench_analysis_spectrum ${CMAKE_CURRENT_LIST_DIR}/bench_analysis_spectrum.cpp)
target_link_libraries(bench_analysis_spectrum PRIVATE sfp_analysis KissFFT::Double)
