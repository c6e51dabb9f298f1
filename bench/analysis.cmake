# Signal analysis, run by hand: display spectra of a 16-channel block and one
# card's measurement at the panel's zero-padding factors.
add_executable(bench_analysis_spectrum ${CMAKE_CURRENT_LIST_DIR}/bench_analysis_spectrum.cpp)
target_link_libraries(bench_analysis_spectrum PRIVATE sfp_analysis KissFFT::Double)

# One card's measurement now and before (a frozen copy of that code in
# baseline/), averaging and details costs; run it under taskset -c 1.
add_executable(bench_analysis_measure ${CMAKE_CURRENT_LIST_DIR}/bench_analysis_measure.cpp
  ${CMAKE_CURRENT_LIST_DIR}/baseline/baseline.cpp)
target_include_directories(bench_analysis_measure PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench_analysis_measure PRIVATE sfp_analysis)
