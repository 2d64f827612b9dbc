# qvtool's command-line parser, fed arbitrary argument vectors.
qv_fuzz(qvtool_options_fuzz
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/qvtool_options_fuzz.cpp
    LIBS qv_qvtool_core)
