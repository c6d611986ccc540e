# Tests of the similarity check: generated classes with planted copies, the evidence store, the command.
add_library(darv_similar_class STATIC ${CMAKE_CURRENT_LIST_DIR}/GeneratedClass.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CorpusAssignment.cpp)
target_include_directories(darv_similar_class PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(darv_similar_class PUBLIC darv_commands PRIVATE nlohmann_json::nlohmann_json darv_warnings)

darv_add_gtest(similar_tests core
    ${CMAKE_CURRENT_LIST_DIR}/EvidenceStoreTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NeighboursTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StoreDamageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimilarCheckTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimilarCommandTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StudentsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RingsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StartDrawingsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CorpusExportTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimilarityViewTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EvidenceStrengthTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TransformedCopiesTest.cpp
)
target_link_libraries(similar_tests PRIVATE darv_similar_class SQLite::SQLite3)

# The PostgreSQL wrapper against a server the test starts and stops itself.
darv_add_gtest(postgres_tests core ${CMAKE_CURRENT_LIST_DIR}/PostgresTest.cpp)

# The Similar Drawings window over a generated class.
darv_add_qtest(similar_window_tests ${CMAKE_CURRENT_LIST_DIR}/SimilarWindowTest.cpp)
if(TARGET similar_window_tests)
    target_link_libraries(similar_window_tests PRIVATE darv_similar_class)
endif()
