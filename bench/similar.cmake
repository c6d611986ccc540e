# Benchmarks of the similarity check: reading a class into the store on one and on two cores, a rerun with
# nothing changed, the check over a class, and a class against 50,000 stored drawings of earlier years. And how
# well the check tells copies from independent students over many generated classes.
if(TARGET darv_similar_class)
    add_executable(similar_bench ${CMAKE_CURRENT_LIST_DIR}/similar_bench.cpp)
    target_link_libraries(similar_bench PRIVATE darv_similar_class darv_commands darv_test_support darv_warnings)
    add_executable(evidence_sweep ${CMAKE_CURRENT_LIST_DIR}/evidence_sweep.cpp)
    target_link_libraries(evidence_sweep PRIVATE darv_similar_class darv_commands darv_test_support darv_warnings)
endif()
