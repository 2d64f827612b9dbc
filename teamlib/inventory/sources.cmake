set(QV_TEAMLIB_INVENTORY_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/adapter_walk.cpp
    ${CMAKE_CURRENT_LIST_DIR}/classify.cpp
    ${CMAKE_CURRENT_LIST_DIR}/connection_name.cpp
    ${CMAKE_CURRENT_LIST_DIR}/instance_checks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/populate_guids.cpp
    ${CMAKE_CURRENT_LIST_DIR}/query_adapters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_string.cpp)
