# Benchmark of the collection run against the reader's own time.
add_executable(collect_bench ${CMAKE_CURRENT_LIST_DIR}/collect_bench.cpp)
target_link_libraries(collect_bench PRIVATE darv_commands darv_warnings)
target_compile_definitions(collect_bench PRIVATE DARV_CORPUS_DIR="${CMAKE_SOURCE_DIR}/../shared/dwg-corpus")
