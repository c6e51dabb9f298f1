# sfpmeasure: the measurement panel's table for the blocks of a stored file,
# without a display.
add_executable(sfpmeasure ${CMAKE_CURRENT_LIST_DIR}/sfpmeasure.cpp)
target_link_libraries(sfpmeasure PRIVATE sfp_analysis sfp_files)
