# Comparison, window part.
target_sources(darv_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/window/CompareWindowView.cpp
)
