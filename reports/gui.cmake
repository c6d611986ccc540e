# Reports, window part.
target_sources(darv_windows PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/window/ReportsPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/DialogPrintSetup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/ReportPrinter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/ReportText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/ReportViewer.cpp
)
