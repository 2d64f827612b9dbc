# Golden-output tests of the qvsim command line; they run the built binary.
qv_gtest(qvsim_cli_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/qvsim_test.cpp
    LIBS qv_platform
    LABELS qvsim host)
add_dependencies(qvsim_cli_test qvsim)
