# Instrument discovery and connection: descriptors, the resource search and
# the selection and address dialogs, the connected main-panel frame and the
# signal-conditioning plug-in manager.
add_library(sfp_connect STATIC
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_descriptor.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_descriptor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_resourceSearch.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_resourceSearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_fcSelect.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_fcSelect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_fcEnterAddressFc.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_fcEnterAddressFc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_fcEnterAddress.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_fcEnterAddress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_AppFC.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_AppFC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_scuPluginInterface.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_scu.h
  ${CMAKE_CURRENT_LIST_DIR}/nv9471fp_scu.cpp)
set_target_properties(sfp_connect PROPERTIES AUTOMOC ON)
target_include_directories(sfp_connect PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(sfp_connect PUBLIC sfp_widgets sfp_core sfp_driver Qt5::Concurrent)

# Sample SCU plug-in (an invented 3520 unit). It lands in build/bin, the
# application directory of every program there. It includes only the plug-in
# interface header and links nothing of the front panel.
add_library(nv3520fp MODULE
  ${CMAKE_CURRENT_LIST_DIR}/scu_sample/nv3520fp_plugin.h
  ${CMAKE_CURRENT_LIST_DIR}/scu_sample/nv3520fp_plugin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scu_sample/nv3520fp_scuWidget.h
  ${CMAKE_CURRENT_LIST_DIR}/scu_sample/nv3520fp_scuWidget.cpp)
set_target_properties(nv3520fp PROPERTIES AUTOMOC ON)
target_include_directories(nv3520fp PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(nv3520fp PRIVATE sfp_driver Qt5::Widgets)

# Manual check of the connection flow (screenshots under xvfb-run).
add_executable(connect_demo ${CMAKE_SOURCE_DIR}/tools/connect_demo.cpp)
target_link_libraries(connect_demo PRIVATE sfp_connect sfp_card sfp_resources)
