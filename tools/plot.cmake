# sfpplot: the panel's plot pictures (time plot or spectra, legend, caption)
# of one block of a stored file, or a figure of a trend log over time, as
# PNG, SVG or PDF, without a display.
add_executable(sfpplot ${CMAKE_CURRENT_LIST_DIR}/sfpplot.cpp ${CMAKE_CURRENT_LIST_DIR}/sfpplot_trend.cpp
                       ${CMAKE_CURRENT_LIST_DIR}/sfpplot_trend.h)
target_link_libraries(sfpplot PRIVATE sfp_plots sfp_cardlogic sfp_analysis sfp_files)
