# Application shell, Qt-free part.
target_sources(darv_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CompareCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NumberText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsFiles.cpp
)
