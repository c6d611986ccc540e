# Projects and locations, window part.
target_sources(darv_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FolderList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LocationsPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectsPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Volumes.cpp
)
