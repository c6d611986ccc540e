# Reports, Qt-free part: the field rule of the printed report.
target_sources(darv_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ReportFields.cpp
)
