# Tests of the 2007-format container: RS de-interleaving, LZ77 decompression, pages and sections.
add_executable(dwg_r2007_tests
    ${CMAKE_CURRENT_LIST_DIR}/R2007DecompressorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/R2007ContainerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/R2007ContainerFaultTest.cpp)
target_link_libraries(dwg_r2007_tests PRIVATE darv_dwg GTest::gtest_main darv_warnings)
target_compile_definitions(dwg_r2007_tests PRIVATE DARV_CORPUS_DIR="${DARV_CORPUS_DIR}")
add_test(NAME dwg_r2007_tests COMMAND dwg_r2007_tests)
set_tests_properties(dwg_r2007_tests PROPERTIES LABELS dwg ENVIRONMENT "TZ=Europe/Berlin")
