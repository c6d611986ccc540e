# Benchmarks of the comparison: the three checks, the literal handle check, the run and its peak memory.
add_executable(compare_bench ${CMAKE_CURRENT_LIST_DIR}/compare_bench.cpp)
target_link_libraries(compare_bench PRIVATE darv_core benchmark::benchmark darv_warnings)
