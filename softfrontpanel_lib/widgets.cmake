# The framework's widgets: main-panel frame, LED, PTP alarm entry, digit entry
# control, About box and licence dialogs.
add_library(sfp_widgets STATIC
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_app.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_app.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_led.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_led.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_PTPalarm.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_PTPalarm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_intXXL.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_intXXL.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_digitCtrl.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_digitCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_newlineEdit.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_newlineEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_newPushButton.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_newPushButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_newDoubleValidator.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_newDoubleValidator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_About.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_About.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clickableLabel.h
  ${CMAKE_CURRENT_LIST_DIR}/clickableLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_licenses.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_licenses.cpp)
set_target_properties(sfp_widgets PROPERTIES AUTOMOC ON)
target_include_directories(sfp_widgets PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sfp_widgets PUBLIC sfp_core Qt5::Widgets Qwt::Qwt)
