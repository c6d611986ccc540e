# Tests of the comparison: the checks, their report files, the run and the compare command.
darv_add_gtest(compare_tests core
    ${CMAKE_CURRENT_LIST_DIR}/CheckDatesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckHandlesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckTimesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CollectedDataFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareCommandTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareRunTest.cpp
)
