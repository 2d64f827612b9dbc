# Registry operations per second on the simulated host (figures in docs/benchmarks.md).
if(QV_HOST)
    add_executable(qv_registry_bench ${CMAKE_CURRENT_SOURCE_DIR}/registry_bench.cpp)
    target_link_libraries(qv_registry_bench PRIVATE qv_platform benchmark::benchmark)
endif()
