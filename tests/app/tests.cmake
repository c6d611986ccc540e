# Installer tests: the data folder, the resources and Install_Location, in temporary XDG folders.
if(TARGET darv_installer)
    darv_add_qtest(installer_tests ${CMAKE_CURRENT_LIST_DIR}/InstallerTest.cpp)
    target_link_libraries(installer_tests PRIVATE darv_installer darv_resources)
endif()
# The command line and the programs' words (Qt-free).
darv_add_gtest(command_line_tests core ${CMAKE_CURRENT_LIST_DIR}/CommandLineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramOptionsTest.cpp)
target_compile_definitions(command_line_tests PRIVATE DARV_MAN_DIR="${PROJECT_SOURCE_DIR}/resources/man")
if(TARGET darv2007-cli)
    target_compile_definitions(command_line_tests PRIVATE DARV_CLI_PATH="$<TARGET_FILE:darv2007-cli>")
    add_dependencies(command_line_tests darv2007-cli)
endif()
