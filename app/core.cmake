# Application shell, Qt-free part: data folder, settings files, number texts and the command line.
target_sources(darv_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AtomicFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CollectCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConsoleView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DrawingJson.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DwgInfoCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NumberText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegularFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsFiles.cpp
)

# dwginfo --json writes its JSON with nlohmann-json (Debian: nlohmann-json3-dev).
find_package(nlohmann_json 3 REQUIRED)
target_link_libraries(darv_core PRIVATE nlohmann_json::nlohmann_json)
