# The house's floor rule over every source file's include lines.
add_executable(floors_tests ${CMAKE_CURRENT_LIST_DIR}/FloorsTest.cpp)
target_link_libraries(floors_tests PRIVATE GTest::gtest_main darv_warnings)
target_compile_definitions(floors_tests PRIVATE DARV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_test(NAME floors_tests COMMAND floors_tests)
set_tests_properties(floors_tests PROPERTIES LABELS core)
