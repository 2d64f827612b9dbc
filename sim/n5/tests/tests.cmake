# Suites of the simulated adapter.
qv_gtest(sim_n5_adapter_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/adapter_test.cpp
    LIBS qv_sim_n5)
qv_gtest(sim_n5_qvsim_adapter_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/qvsim_adapter_test.cpp
    LIBS)
add_dependencies(sim_n5_qvsim_adapter_test qvsim)
add_dependencies(sim_n5_qvsim_adapter_test qvtool)
