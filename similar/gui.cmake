# The similarity check, window part.
target_sources(darv_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/window/DrawingPainter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/DrawingPairView.cpp
)
