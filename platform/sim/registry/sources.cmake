set(QV_SIM_REGISTRY_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/names.cpp
    ${CMAKE_CURRENT_LIST_DIR}/database.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/machine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regfile_export.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regfile_import.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regfile_load.cpp)
