# Signal analysis: transforms, windows, spectra, fits, AC figures, the
# per-card measurement and the sfpmeasure tool. Headless, no widgets.
sfp_add_test(test_analysis_spectrum SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_analysis_spectrum.cpp LIBS sfp_analysis)
sfp_add_test(test_analysis_fit SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_analysis_fit.cpp LIBS sfp_analysis)
sfp_add_test(test_analysis_acfigures SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_analysis_acfigures.cpp LIBS sfp_analysis)
sfp_add_test(test_analysis_measurement SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_analysis_measurement.cpp LIBS sfp_analysis sfp_files)
target_compile_definitions(test_analysis_measurement PRIVATE SFPMEASURE_PATH="$<TARGET_FILE:sfpmeasure>")
add_dependencies(test_analysis_measurement sfpmeasure)
sfp_add_test(test_analysis_details SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_analysis_details.cpp LIBS sfp_analysis)
sfp_add_test(test_analysis_averaging SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_analysis_averaging.cpp LIBS sfp_analysis)
