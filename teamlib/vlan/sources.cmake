set(QV_TEAMLIB_VLAN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/vlan_devices.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vlan_readers.cpp)
