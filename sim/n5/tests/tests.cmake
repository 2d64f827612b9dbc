# Suites of the simulated adapter.
qv_gtest(sim_n5_adapter_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/adapter_test.cpp
    LIBS qv_sim_n5)
