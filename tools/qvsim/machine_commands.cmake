set(QVSIM_MACHINE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/machine_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/machine_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/machine_init.cpp
    ${CMAKE_CURRENT_LIST_DIR}/machine_show.cpp
    ${CMAKE_CURRENT_LIST_DIR}/machine_regfile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/machine_device.cpp)
