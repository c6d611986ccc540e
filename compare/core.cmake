# Comparison, Qt-free part: the collected data, the run, the three checks and their report files.
add_library(darv_compare STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CheckDates.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckHandles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckTimes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CollectedDataFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareObserver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HandleMatcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JulianDate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SystemCompareClock.cpp
)
target_include_directories(darv_compare PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(darv_compare PUBLIC darv_projects darv_base PRIVATE darv_warnings)
