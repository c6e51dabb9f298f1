# sfpfile: header listing, CSV, NumPy and HDF5 conversion and verification of
# stored data files, for engineers who process recordings without a display.
add_executable(sfpfile
  ${CMAKE_CURRENT_LIST_DIR}/sfpfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sfpfile_common.h
  ${CMAKE_CURRENT_LIST_DIR}/sfpfile_common.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sfpfile_convert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sfpfile_verify.cpp)
target_link_libraries(sfpfile PRIVATE sfp_exports sfp_files)
