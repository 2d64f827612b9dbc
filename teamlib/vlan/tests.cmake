# Test suites of this area (they run on simulated machines).
if(QV_HOST)
    qv_gtest(teamlib_vlan_test
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/vlan_list_test.cpp
        LIBS qv_teamlib qv_teamlib_testing)
endif()
