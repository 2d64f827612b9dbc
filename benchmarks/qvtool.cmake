# Requests per second through the simulated transport, and a whole register decode.
add_executable(qv_qvtool_bench ${CMAKE_CURRENT_LIST_DIR}/qvtool_bench.cpp)
target_link_libraries(qv_qvtool_bench PRIVATE qv_qvtool_core qv_platform benchmark::benchmark)
