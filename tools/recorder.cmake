# sfprecord: streams from the cards to a .bin6842 or CSV file without a
# display, through the acquisition engine. QtCore only.
add_executable(sfprecord ${CMAKE_CURRENT_LIST_DIR}/sfprecord.cpp)
target_link_libraries(sfprecord PRIVATE sfp_engine sfp_carddesc sfp_cardlogic)
