# What every part stands on: whole-file writes on full and read-only disks.
darv_add_gtest(base_tests core ${CMAKE_CURRENT_LIST_DIR}/AtomicFileTest.cpp)
