# Suites of the tool frame. The parser and record suites run in both builds (under Wine in the
# windows build); the runs need the simulated host and a fresh simulated machine each.
qv_gtest(qvtool_options_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/options_test.cpp
    LIBS qv_qvtool_core qv_platform)
qv_gtest(qvtool_records_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/records_test.cpp
    LIBS qv_qvtool_core)

if(NOT QV_HOST)
    return()
endif()

add_library(qv_qvtool_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/test_support.cpp)
target_link_libraries(qv_qvtool_test_support PUBLIC qv_qvtool_core qv_platform qv_sim_n5 qv_testing ${QV_GTEST_LIBS})
target_compile_definitions(qv_qvtool_test_support PRIVATE
    QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}" QV_BIN_DIR="${CMAKE_BINARY_DIR}/bin")

qv_gtest(qvtool_transport_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/transport_test.cpp
    LIBS qv_qvtool_test_support)
qv_gtest(qvtool_run_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/run_test.cpp
    LIBS qv_qvtool_test_support)
qv_gtest(qvtool_program_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/program_test.cpp
    LIBS qv_qvtool_test_support)
add_dependencies(qvtool_program_test qvtool)
