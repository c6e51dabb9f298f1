# Replot time of 16 curves x 640,000 samples, decimated against Qwt's own
# curve (run by hand; offscreen).
add_executable(bench_plots_curve ${CMAKE_CURRENT_LIST_DIR}/bench_plots_curve.cpp)
target_link_libraries(bench_plots_curve PRIVATE sfp_plots)

# A picture of 16 channels x 8192 scans as PNG (1600 px), SVG and PDF, as
# "Save Picture…" and sfpplot save it (run by hand; offscreen).
add_executable(bench_plots_picture ${CMAKE_CURRENT_LIST_DIR}/bench_plots_picture.cpp)
target_link_libraries(bench_plots_picture PRIVATE sfp_plots)
