# Test suites of this area.
qv_gtest(teamlib_text_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/text_test.cpp LIBS qv_teamlib)
set_tests_properties(teamlib_text_test PROPERTIES
    ENVIRONMENT "QV_TRACE=${CMAKE_CURRENT_BINARY_DIR}/teamlib_text_test.trace")
if(QV_HOST)
    qv_gtest(teamlib_text_untraced_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/trace_off_test.cpp LIBS qv_teamlib)
endif()
