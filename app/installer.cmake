# Setting up a data folder (Qt Core only): the installer program and the window's first start.
add_library(darv_installer STATIC
    ${CMAKE_CURRENT_LIST_DIR}/FirstStart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FirstStart.h
    ${CMAKE_CURRENT_LIST_DIR}/Installer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Installer.h
)
target_include_directories(darv_installer PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
target_link_libraries(darv_installer PUBLIC Qt6::Core darv_resources PRIVATE darv_warnings)

add_executable(darv2007-install ${CMAKE_CURRENT_LIST_DIR}/install_main.cpp)
target_link_libraries(darv2007-install PRIVATE darv_installer darv_core darv_resources Qt6::Core darv_warnings)
