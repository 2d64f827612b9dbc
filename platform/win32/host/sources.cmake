set(QV_WIN32_HOST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/last_error.cpp
    ${CMAKE_CURRENT_LIST_DIR}/devinst.cpp
    ${CMAKE_CURRENT_LIST_DIR}/process.cpp
    ${CMAKE_CURRENT_LIST_DIR}/security.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clock.cpp)
