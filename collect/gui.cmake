# The runs, window part: the lower panel and what the main window shows of a collection or comparison.
target_sources(darv_windows PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/window/CompareWindowView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/LowerPanel.cpp
)
