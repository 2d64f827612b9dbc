set(QV_WIN32_DEVICEIO_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/device_interfaces.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_io.cpp)
