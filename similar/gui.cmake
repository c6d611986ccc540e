# The similarity check, window part.
target_sources(darv_windows PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/window/DrawingPainter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/DrawingPairView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/EvidenceSheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/PairDisplay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/ScoreHistogram.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/SimilarRunner.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/SimilarWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/SimilarWindowClass.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/SimilarWindowMarks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/SimilarWindowPairs.cpp
)
