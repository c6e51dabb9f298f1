# Stored data files: header parser, block reader and the binary and CSV
# writers. Plain C++, no Qt, so the engine, the tools and the fuzzer share it.
add_library(sfp_files STATIC
  ${CMAKE_CURRENT_LIST_DIR}/storedfile.h
  ${CMAKE_CURRENT_LIST_DIR}/storedfile_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/storedfile_blockio.h
  ${CMAKE_CURRENT_LIST_DIR}/storedfile_blockio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/csvformat.h
  ${CMAKE_CURRENT_LIST_DIR}/csvformat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/datafile_writer.h
  ${CMAKE_CURRENT_LIST_DIR}/datafile_writer.cpp)
target_include_directories(sfp_files PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(sfp_files PRIVATE _FILE_OFFSET_BITS=64)
