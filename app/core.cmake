# Application shell, Qt-free part: data folder, settings files, number texts and the command line.
target_sources(darv_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AtomicFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CollectCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandWords.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConsoleView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DrawingJson.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DwgInfoCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NumberText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramOptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegularFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimilarCommand.cpp
)

# dwginfo --json writes its JSON with nlohmann-json (Debian: nlohmann-json3-dev).
find_package(nlohmann_json 3 REQUIRED)
target_link_libraries(darv_core PRIVATE nlohmann_json::nlohmann_json)

# The version, the desktop name and the path to the installed resources, as the build knows them.
configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildInfo.h.in ${PROJECT_BINARY_DIR}/generated/app/BuildInfo.h @ONLY)
target_include_directories(darv_core PUBLIC ${PROJECT_BINARY_DIR}/generated)
