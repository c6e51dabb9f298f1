# The NumPy and HDF5 exports read back by outside code: Debian's numpy and
# h5py (/usr/bin/python3 explicitly: another python3 on the PATH may lack
# them), on a recording of the simulated cards, and README's snippet run as
# printed. Skipped (exit 77) when numpy or h5py is missing.
set(home ${CMAKE_BINARY_DIR}/test-home/test_exports_python)
file(MAKE_DIRECTORY ${home})
add_test(NAME test_exports_python
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/test_exports.py
          $<TARGET_FILE:sfprecord> $<TARGET_FILE:sfpfile> ${CMAKE_SOURCE_DIR}/README.md)
set(env "HOME=${home}" "XDG_CONFIG_HOME=${home}/.config" "TRELLIN_SIM=")
set(timeout 60)
if(SFP_ASAN)
  list(APPEND env "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp:print_suppressions=0"
                  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  set(timeout 180)
endif()
set_tests_properties(test_exports_python PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${timeout} SKIP_RETURN_CODE 77)
