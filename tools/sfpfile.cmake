# sfpfile: header listing and CSV conversion of stored data files, for
# engineers who process recordings without a display.
add_executable(sfpfile ${CMAKE_CURRENT_LIST_DIR}/sfpfile.cpp)
target_link_libraries(sfpfile PRIVATE sfp_files)
