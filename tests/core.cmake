sfp_add_test(test_core_messages GUI SOURCES test_core_messages.cpp LIBS sfp_card)
sfp_add_test(test_card_description GUI SOURCES test_card_description.cpp LIBS sfp_card)
sfp_add_test(test_card_startup GUI SOURCES test_card_startup.cpp LIBS sfp_card)
