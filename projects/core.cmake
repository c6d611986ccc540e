# Projects and locations, Qt-free part.
target_sources(darv_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FolderListing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NameBytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectLock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectName.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QuotedLinesFile.cpp
)
