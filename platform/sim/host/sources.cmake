set(QV_SIM_HOST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/last_error.cpp)
