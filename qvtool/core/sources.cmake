# The tool's frame: command line, adapter connection, transport and the register access commands.
set(QV_QVTOOL_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/adapter_connection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cim_access.cpp
    ${CMAKE_CURRENT_LIST_DIR}/number_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/option_scanner.cpp
    ${CMAKE_CURRENT_LIST_DIR}/options.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qset_params.cpp
    ${CMAKE_CURRENT_LIST_DIR}/register_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runner.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_match.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/usage.cpp)
