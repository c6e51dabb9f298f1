# sfpplot: the panel's plot pictures (time plot or spectra, legend, caption)
# of one block of a stored file, as PNG, SVG or PDF, without a display.
add_executable(sfpplot ${CMAKE_CURRENT_LIST_DIR}/sfpplot.cpp)
target_link_libraries(sfpplot PRIVATE sfp_plots sfp_cardlogic sfp_analysis sfp_files)
