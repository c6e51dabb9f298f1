sfp_add_test(test_core_messages GUI SOURCES test_core_messages.cpp LIBS sfp_card)
sfp_add_test(test_card_description GUI SOURCES test_card_description.cpp LIBS sfp_card)
# The splash test compiles a device bitmap into a resource at run time.
target_compile_definitions(test_card_description PRIVATE SFP_RCC_PATH="$<TARGET_FILE:Qt5::rcc>")
sfp_add_test(test_card_startup GUI SOURCES test_card_startup.cpp LIBS sfp_card)
