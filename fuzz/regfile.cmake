# The .reg file importer of the simulated registry.
qv_fuzz(regfile_fuzz
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/regfile_fuzz.cpp
    LIBS qv_platform)
