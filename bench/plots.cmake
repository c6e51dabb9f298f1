# Replot time of 16 curves x 640,000 samples, decimated against Qwt's own
# curve (run by hand; offscreen).
add_executable(bench_plots_curve ${CMAKE_CURRENT_LIST_DIR}/bench_plots_curve.cpp)
target_link_libraries(bench_plots_curve PRIVATE sfp_plots)
