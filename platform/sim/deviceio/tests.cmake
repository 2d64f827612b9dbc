# Test suites of this area.
qv_gtest(sim_deviceio_bus_driver_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/bus_driver_test.cpp
    LIBS qv_platform)
