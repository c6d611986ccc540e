# Benchmark of the 2007 container: decoding speed on the corpus drawings (run a Release build).
if(NOT DEFINED DARV_CORPUS_DIR)
    get_filename_component(DARV_CORPUS_DIR "${CMAKE_SOURCE_DIR}/../shared/dwg-corpus" ABSOLUTE)
endif()
add_executable(bench_r2007 ${CMAKE_CURRENT_LIST_DIR}/R2007Bench.cpp)
target_link_libraries(bench_r2007 PRIVATE darv_dwg benchmark::benchmark_main darv_warnings)
target_compile_definitions(bench_r2007 PRIVATE DARV_CORPUS_DIR="${DARV_CORPUS_DIR}")
