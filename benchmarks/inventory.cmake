# One full adapter-inventory walk on the default simulated machine.
add_executable(qv_inventory_bench ${CMAKE_CURRENT_LIST_DIR}/inventory_bench.cpp)
target_link_libraries(qv_inventory_bench PRIVATE qv_platform benchmark::benchmark)
