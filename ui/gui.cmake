# Main window, options panel, help windows and the shared window helpers.
target_sources(darv_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AboutPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckValue.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HelpWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HelpWindows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListChoiceComboBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LowerPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgressBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtMessages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RtfReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StartClock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WhatNextWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmMainCompare.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmMainOptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmMainProjects.cpp
)
# The window's first start sets up the data folder as the installer does.
target_link_libraries(darv_gui PRIVATE darv_installer)
