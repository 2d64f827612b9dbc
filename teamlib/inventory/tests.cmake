# Test suites of this area (they run on simulated machines).
if(QV_HOST)
    qv_gtest(teamlib_inventory_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/inventory_test.cpp
        LIBS qv_teamlib_testing)
    qv_gtest(teamlib_host_checks_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/host_checks_test.cpp
        LIBS qv_teamlib_testing)
endif()
