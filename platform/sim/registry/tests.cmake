# Test suites of this area: the simulated registry's own rules, several processes on one machine,
# and .reg files.
qv_gtest(sim_registry_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/tests/sim_registry_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/multiprocess_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/read_session_test.cpp
    LIBS qv_platform SQLite::SQLite3
    LABELS registry)

qv_gtest(regfile_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/regfile_test.cpp
    LIBS qv_platform
    LABELS registry)

# Registries and machine directories that cannot be used, and .reg files at the limits.
qv_gtest(registry_limits_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/tests/unusable_registry_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/regfile_limits_test.cpp
    LIBS qv_platform SQLite::SQLite3
    LABELS registry)
