# Reports, window part.
target_sources(darv_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ReportsPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogPrintSetup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportPrinter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportViewer.cpp
)
