# Imported submissions: the platforms' naming, hostile archives, updates. The tests write their archives
# with libarchive themselves.
darv_add_gtest(submissions_tests core ${CMAKE_CURRENT_LIST_DIR}/StudentNamesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImportTest.cpp ${CMAKE_CURRENT_LIST_DIR}/HostileArchiveTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImportCommandTest.cpp)
target_link_libraries(submissions_tests PRIVATE LibArchive::LibArchive nlohmann_json::nlohmann_json)
