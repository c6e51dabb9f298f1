# Manual check of the connection flow (screenshots under xvfb-run).
add_executable(connect_demo ${CMAKE_CURRENT_LIST_DIR}/connect_demo.cpp)
target_link_libraries(connect_demo PRIVATE sfp_connect sfp_card sfp_resources)
