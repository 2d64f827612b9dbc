# Test suites of this area.
qv_gtest(sim_devinst_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/devinst_test.cpp
    LIBS qv_platform_sim
    LABELS sim host)
qv_gtest(sim_inventory_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/default_inventory_test.cpp
    LIBS qv_platform_sim
    LABELS sim host)
qv_gtest(sim_process_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/process_test.cpp
    LIBS qv_platform_sim
    LABELS sim host)
qv_gtest(sim_security_clock_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/security_clock_test.cpp
    LIBS qv_platform_sim
    LABELS sim host)
qv_gtest(sim_handle_table_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/handle_table_test.cpp
    LIBS qv_platform_sim
    LABELS sim host)
qv_gtest(sim_device_database_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/device_database_test.cpp
    LIBS qv_platform_sim
    LABELS sim host)
