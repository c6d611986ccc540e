# The similarity check and its evidence store, Qt-free part.
find_package(nlohmann_json REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)
add_library(darv_similar STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ClassComparison.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClassReading.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ComparableText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DepartmentSchema.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DrawingFeatures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DrawingSource.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EvidenceStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EntityBlob.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EntityShape.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FeatureBlob.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LastResult.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Neighbours.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HandPlaced.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OrderedPool.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PairEvidence.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PairMarks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PieceForm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PieceIndex.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Placement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlacementSearch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Postgres.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PreparedDrawing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PropertiesJson.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Rarity.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SignalText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerEvidenceStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimilarReport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimilarRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimilarityView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StartDrawings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Sqlite.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SqliteEvidenceStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StoreCopy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StoreOpening.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StoreRebuild.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StoreSchema.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Students.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Winnowing.cpp
)
target_include_directories(darv_similar PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(darv_similar PUBLIC darv_readers darv_projects darv_submissions darv_base
                      PRIVATE nlohmann_json::nlohmann_json SQLite::SQLite3 PkgConfig::LIBPQ Threads::Threads darv_warnings)
