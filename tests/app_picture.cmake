# Plot pictures of the two plot pages and of sfpplot, read back by an XML
# parser, pdftotext and pixel positions worked out from the axis scale.
sfp_add_test(test_app_picture GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_picture.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_app_window.h
  LIBS sfp_card)
target_compile_definitions(test_app_picture PRIVATE SFPPLOT_PATH="$<TARGET_FILE:sfpplot>")
add_dependencies(test_app_picture sfpplot)
