# The windows: main window and its first start, RTF reader with the shipped texts, Help and What Next.
if(DARV_GUI)
    darv_add_qtest(mainwindow_tests ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp)
    darv_add_qtest(first_start_tests ${CMAKE_CURRENT_LIST_DIR}/FirstStartTest.cpp)
    target_link_libraries(first_start_tests PRIVATE darv_application)
    darv_add_qtest(rtf_tests ${CMAKE_CURRENT_LIST_DIR}/RtfReaderTest.cpp)
    target_compile_definitions(rtf_tests PRIVATE DARV_TEXT_DIR="${PROJECT_SOURCE_DIR}/resources/text")
    darv_add_qtest(help_tests ${CMAKE_CURRENT_LIST_DIR}/HelpWindowsTest.cpp)
endif()
