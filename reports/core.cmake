# Reports, Qt-free part: the field rule of the printed report.
add_library(darv_reports STATIC ${CMAKE_CURRENT_LIST_DIR}/ReportFields.cpp)
target_include_directories(darv_reports PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(darv_reports PUBLIC darv_base PRIVATE darv_warnings)
