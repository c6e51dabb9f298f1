# Stored data files, run by hand: binary writing against dd, CSV number texts
# against fprintf, sfpfile conversion time and memory, and the NumPy and HDF5
# exports against dd, verification against cat.
add_executable(bench_files_write ${CMAKE_CURRENT_LIST_DIR}/bench_files_write.cpp)
target_link_libraries(bench_files_write PRIVATE sfp_files)
add_executable(bench_files_csv ${CMAKE_CURRENT_LIST_DIR}/bench_files_csv.cpp)
target_link_libraries(bench_files_csv PRIVATE sfp_files)
add_executable(bench_files_convert ${CMAKE_CURRENT_LIST_DIR}/bench_files_convert.cpp)
target_link_libraries(bench_files_convert PRIVATE sfp_files)
target_compile_definitions(bench_files_convert PRIVATE SFPFILE_PATH="$<TARGET_FILE:sfpfile>")
add_dependencies(bench_files_convert sfpfile)
# NumPy and HDF5 exports against dd, their peak memory, and a sparse 4 GiB input.
add_executable(bench_files_export ${CMAKE_CURRENT_LIST_DIR}/bench_files_export.cpp)
target_link_libraries(bench_files_export PRIVATE sfp_files)
target_compile_definitions(bench_files_export PRIVATE SFPFILE_PATH="$<TARGET_FILE:sfpfile>")
add_dependencies(bench_files_export sfpfile)
# sfpfile verify against cat on a large recording, from the disk and the cache.
add_executable(bench_files_verify ${CMAKE_CURRENT_LIST_DIR}/bench_files_verify.cpp)
target_link_libraries(bench_files_verify PRIVATE sfp_files)
target_compile_definitions(bench_files_verify PRIVATE SFPFILE_PATH="$<TARGET_FILE:sfpfile>")
add_dependencies(bench_files_verify sfpfile)
