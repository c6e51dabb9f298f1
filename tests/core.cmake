sfp_add_test(test_core_messages GUI SOURCES test_core_messages.cpp LIBS sfp_card)
sfp_add_test(test_card_description GUI SOURCES test_card_description.cpp LIBS sfp_card)
# The splash test compiles a device bitmap into a resource at run time.
target_compile_definitions(test_card_description PRIVATE SFP_RCC_PATH="$<TARGET_FILE:Qt5::rcc>")
sfp_add_test(test_card_startup GUI SOURCES test_card_startup.cpp vnc_operator.h LIBS sfp_card)
# The start-up test also runs the built program, and holds its "--help"
# against README.md and its "--version" against the project version.
target_compile_definitions(test_card_startup PRIVATE NV6842FP_PATH="$<TARGET_FILE:nv6842fp>"
                           SFP_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SFP_PROJECT_VERSION="${CMAKE_PROJECT_VERSION}")
add_dependencies(test_card_startup nv6842fp)
