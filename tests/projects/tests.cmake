# Projects and locations: the Qt-free listing and files, and the window's handlers.
darv_add_gtest(projects_tests core ${CMAKE_CURRENT_LIST_DIR}/FolderListingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectLockTest.cpp)
darv_add_qtest(projects_window_tests ${CMAKE_CURRENT_LIST_DIR}/ProjectsWindowTest.cpp)
if(TARGET projects_window_tests)
    target_link_libraries(projects_window_tests PRIVATE LibArchive::LibArchive)
endif()
