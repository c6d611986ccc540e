# Reports: the field rule (Qt-free), and the Reports page with its printing.
darv_add_gtest(report_fields_tests core ${CMAKE_CURRENT_LIST_DIR}/ReportFieldsTest.cpp)
darv_add_qtest(reports_tests ${CMAKE_CURRENT_LIST_DIR}/ReportsTest.cpp)
