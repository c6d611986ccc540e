# Projects and locations, Qt-free part.
add_library(darv_projects STATIC
    ${CMAKE_CURRENT_LIST_DIR}/FolderListing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectLock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectName.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QuotedLinesFile.cpp
)
target_include_directories(darv_projects PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(darv_projects PUBLIC darv_base PRIVATE darv_warnings)
