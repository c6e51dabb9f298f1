# A viewer for the framework's widgets, for reviewers and screenshots.
add_executable(widget_gallery ${CMAKE_CURRENT_LIST_DIR}/widget_gallery.cpp)
target_link_libraries(widget_gallery PRIVATE sfp_widgets sfp_resources)
