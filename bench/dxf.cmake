# Reading speed of the DXF reader over the shared DXF corpus (goal: 100 MB/s of ASCII DXF on one core, Release).
get_filename_component(DARV_BENCH_DXF_CORPUS_DIR "${CMAKE_SOURCE_DIR}/../shared/dxf-corpus" ABSOLUTE)
add_executable(dxf_bench ${CMAKE_CURRENT_LIST_DIR}/dxf_bench.cpp)
target_link_libraries(dxf_bench PRIVATE darv_dxf benchmark::benchmark darv_warnings)
target_compile_definitions(dxf_bench PRIVATE DARV_DXF_CORPUS_DIR="${DARV_BENCH_DXF_CORPUS_DIR}")
