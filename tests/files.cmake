# Stored data files: reader, writers, number texts, file sets, the trend log,
# the file tool and its verification of recordings.
sfp_add_test(test_files_csvformat SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_files_csvformat.cpp LIBS sfp_files)
sfp_add_test(test_files_writer SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_files_writer.cpp LIBS sfp_files Qt5::Core)
sfp_add_test(test_files_reader SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_files_reader.cpp LIBS sfp_files Qt5::Core)
sfp_add_test(test_files_tool SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_files_tool.cpp LIBS sfp_files Qt5::Core)
target_compile_definitions(test_files_tool PRIVATE SFPFILE_PATH="$<TARGET_FILE:sfpfile>")
add_dependencies(test_files_tool sfpfile)
sfp_add_test(test_files_verify SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_files_verify.cpp LIBS sfp_files Qt5::Core)
target_compile_definitions(test_files_verify PRIVATE SFPFILE_PATH="$<TARGET_FILE:sfpfile>")
add_dependencies(test_files_verify sfpfile)
sfp_add_test(test_files_sets SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_files_sets.cpp LIBS sfp_files Qt5::Core)
