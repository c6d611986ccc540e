# Drawing collection, Qt-free part: reads every drawing of a project, then compares.
add_library(darv_collect STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CollectionRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DwgCadHost.cpp
)
target_include_directories(darv_collect PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(darv_collect PUBLIC darv_compare darv_readers darv_projects darv_base PRIVATE darv_warnings)
