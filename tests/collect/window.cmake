darv_add_qtest(compare_window_tests ${CMAKE_CURRENT_LIST_DIR}/CompareWindowTest.cpp)
