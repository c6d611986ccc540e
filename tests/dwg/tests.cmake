# Tests of the drawing reader (dwg/): primitives, decompressor, time conversion, corpus, damaged input.
add_executable(dwg_tests
    ${CMAKE_CURRENT_LIST_DIR}/BitReaderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Lz77Test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CadTimeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReaderPartsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SectionsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CorpusTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BadInputTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DamageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextDecoderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModelerBodyTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../support/DwgTruth.cpp)
target_include_directories(dwg_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(dwg_tests PRIVATE darv_dwg GTest::gtest_main darv_warnings)
target_compile_definitions(dwg_tests PRIVATE DARV_CORPUS_DIR="${DARV_CORPUS_DIR}")
add_test(NAME dwg_tests COMMAND dwg_tests)
set_tests_properties(dwg_tests PROPERTIES LABELS dwg ENVIRONMENT "TZ=Europe/Berlin")
include(${CMAKE_CURRENT_LIST_DIR}/r2007.cmake OPTIONAL)

# darv2007-cli dwginfo lives in the core library.
add_executable(dwg_info_tests
    ${CMAKE_CURRENT_LIST_DIR}/DwgInfoCommandTest.cpp)
target_link_libraries(dwg_info_tests PRIVATE darv_commands darv_dwg GTest::gtest_main darv_warnings)
target_compile_definitions(dwg_info_tests PRIVATE DARV_CORPUS_DIR="${DARV_CORPUS_DIR}")
add_test(NAME dwg_info_tests COMMAND dwg_info_tests)
set_tests_properties(dwg_info_tests PROPERTIES LABELS dwg ENVIRONMENT "TZ=Europe/Berlin")

# The full read of the corpus through dwginfo --json; reads its expectations with nlohmann-json.
add_executable(dwg_contents_tests
    ${CMAKE_CURRENT_LIST_DIR}/ContentsCorpusTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ContentsShareTest.cpp)
target_link_libraries(dwg_contents_tests PRIVATE darv_commands darv_dwg nlohmann_json::nlohmann_json GTest::gtest_main
                                                 darv_warnings)
target_include_directories(dwg_contents_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(dwg_contents_tests PRIVATE DARV_CORPUS_DIR="${DARV_CORPUS_DIR}")
add_test(NAME dwg_contents_tests COMMAND dwg_contents_tests)
set_tests_properties(dwg_contents_tests PROPERTIES LABELS dwg ENVIRONMENT "TZ=Europe/Berlin")
