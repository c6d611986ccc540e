# Drawing collection, Qt-free part.
target_sources(darv_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CollectedDataFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CollectionRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DwgCadHost.cpp
)
