# Projects and locations, window part.
target_sources(darv_windows PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/window/FolderList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/LocationsPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/ProjectsPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window/Volumes.cpp
)
