# Reading speed of the drawing reader over the shared corpus (quick read 100 MB/s, full read 50 MB/s on one core, Release build).
get_filename_component(DARV_BENCH_CORPUS_DIR "${CMAKE_SOURCE_DIR}/../shared/dwg-corpus" ABSOLUTE)
add_executable(dwg_bench ${CMAKE_CURRENT_LIST_DIR}/dwg_bench.cpp)
target_link_libraries(dwg_bench PRIVATE darv_dwg benchmark::benchmark darv_warnings)
target_compile_definitions(dwg_bench PRIVATE DARV_CORPUS_DIR="${DARV_BENCH_CORPUS_DIR}")
