# Benchmarks of the comparison: the three checks, the literal handle check, the run and its peak memory;
# and Recompare in the main window against the checks alone.
add_library(darv_bench_class STATIC ${CMAKE_CURRENT_LIST_DIR}/GeneratedClass.cpp)
target_link_libraries(darv_bench_class PUBLIC darv_commands PRIVATE darv_warnings)

add_executable(compare_bench ${CMAKE_CURRENT_LIST_DIR}/compare_bench.cpp)
target_link_libraries(compare_bench PRIVATE darv_bench_class darv_commands benchmark::benchmark darv_warnings)

if(DARV_GUI)
    add_executable(window_bench ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp)
    target_link_libraries(window_bench PRIVATE darv_bench_class darv_gui darv_warnings)
endif()
