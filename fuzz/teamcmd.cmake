# The QvTeamCmd option parser, fed arbitrary argument vectors.
qv_fuzz(teamcmd_parser_fuzz
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/teamcmd_parser_fuzz.cpp
    LIBS qv_teamcmd_core)
