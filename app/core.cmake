# Application shell, Qt-free part: data folder, settings files, number texts and the command line.
target_sources(darv_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AtomicFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CollectCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConsoleView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DwgInfoCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NumberText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimilarCommand.cpp
)
