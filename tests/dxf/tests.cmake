# Tests of the DXF reader (dxf/): the corpus against the DWG twins' truth, small written files, damaged input.
find_package(nlohmann_json 3 REQUIRED)
add_executable(dxf_tests
    ${CMAKE_CURRENT_LIST_DIR}/DxfCorpusTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DxfFilesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DamagedDxfTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GeometryJson.cpp)
target_include_directories(dxf_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(dxf_tests PRIVATE darv_commands nlohmann_json::nlohmann_json GTest::gtest_main darv_warnings)
target_compile_definitions(dxf_tests PRIVATE DARV_CORPUS_DIR="${DARV_CORPUS_DIR}"
                                             DARV_DXF_CORPUS_DIR="${DARV_SHARED_DIR}/dxf-corpus")
add_test(NAME dxf_tests COMMAND dxf_tests)
set_tests_properties(dxf_tests PROPERTIES LABELS dwg ENVIRONMENT "TZ=Europe/Berlin")
