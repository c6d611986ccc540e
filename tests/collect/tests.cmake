# Tests of the Qt-free collection parts.
darv_add_gtest(collection_run_tests core ${CMAKE_CURRENT_LIST_DIR}/CollectionRunTest.cpp)
darv_add_gtest(dwg_host_tests core ${CMAKE_CURRENT_LIST_DIR}/DwgCadHostTest.cpp ${CMAKE_CURRENT_LIST_DIR}/../support/DwgTruth.cpp)
