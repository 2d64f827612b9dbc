set(QV_TEAMLIB_TEXT_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/format_directive.cpp
    ${CMAKE_CURRENT_LIST_DIR}/trace.cpp)
