set(QV_SIM_DEVICEIO_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/bus_driver_registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_io.cpp
    ${CMAKE_CURRENT_LIST_DIR}/interface_sets.cpp)
