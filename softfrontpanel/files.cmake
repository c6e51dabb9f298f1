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
# The rounding margins of the CSV number texts assume uncontracted arithmetic.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/csvformat.cpp PROPERTIES COMPILE_OPTIONS -ffp-contract=off)

# Fuzzing the header parser (clang only): configure with CC=clang CXX=clang++
# -DSFP_FUZZ=ON, then run fuzz_storedfile_header with a corpus directory
# seeded by make_seed_corpus.
if(SFP_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "SFP_FUZZ needs clang (CXX=clang++)")
  endif()
  set(SFP_FUZZ_DIR ${CMAKE_SOURCE_DIR}/fuzz)
  add_executable(fuzz_storedfile_header
    ${SFP_FUZZ_DIR}/fuzz_storedfile_header.cpp
    ${CMAKE_CURRENT_LIST_DIR}/storedfile_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/storedfile_blockio.cpp)
  target_include_directories(fuzz_storedfile_header PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_compile_options(fuzz_storedfile_header PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  target_link_options(fuzz_storedfile_header PRIVATE -fsanitize=fuzzer,address,undefined)
  add_executable(make_seed_corpus ${SFP_FUZZ_DIR}/make_seed_corpus.cpp)
  target_link_libraries(make_seed_corpus PRIVATE sfp_files)
endif()
