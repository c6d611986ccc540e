# Submissions from a learning platform's download archive, Qt-free part.
# Archives through libarchive (Debian: libarchive-dev), the manifest with nlohmann-json.
find_package(LibArchive REQUIRED)
find_package(nlohmann_json 3 REQUIRED)
add_library(darv_submissions STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ArchiveUnpack.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Manifest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Sha256.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StudentNames.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SubmissionImport.cpp
)
target_include_directories(darv_submissions PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(darv_submissions PUBLIC darv_base PRIVATE LibArchive::LibArchive nlohmann_json::nlohmann_json
                      darv_warnings)
