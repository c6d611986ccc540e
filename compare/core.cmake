# Comparison, Qt-free part: the run, the three checks and their report files.
target_sources(darv_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CheckDates.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckHandles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckTimes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareObserver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HandleMatcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JulianDate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SystemCompareClock.cpp
)
