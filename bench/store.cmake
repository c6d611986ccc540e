# Benchmarks of the department store on a PostgreSQL server of the bench's own: an archive of 200,000 stored
# drawings loaded with COPY, 300 new drawings against it, ten teachers at once, pg_amcheck afterwards.
if(TARGET darv_similar_class)
    add_executable(store_bench ${CMAKE_CURRENT_LIST_DIR}/store_bench.cpp)
    target_link_libraries(store_bench PRIVATE darv_similar_class darv_test_support darv_warnings)
endif()
