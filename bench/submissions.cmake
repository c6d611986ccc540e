# Benchmark of importing a download archive of 300 students (about 500 MB) against the goal of 30 s.
add_executable(submissions_bench ${CMAKE_CURRENT_LIST_DIR}/submissions_bench.cpp)
target_link_libraries(submissions_bench PRIVATE darv_submissions darv_base LibArchive::LibArchive darv_warnings)
target_compile_definitions(submissions_bench PRIVATE DARV_CORPUS_DIR="${CMAKE_SOURCE_DIR}/../shared/dwg-corpus")
