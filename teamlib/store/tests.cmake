# Test suites of this area.
qv_gtest(teamlib_team_number_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/team_number_test.cpp LIBS qv_teamlib)
if(QV_HOST)
    qv_gtest(teamlib_store_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/store_registry_test.cpp
        LIBS qv_teamlib_testing)
endif()
