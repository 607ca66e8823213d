# Tests of the split pages: the split page and the split settings dialog.
add_executable(split_pages_tests ${CMAKE_CURRENT_LIST_DIR}/SplitPagesTest.cpp)
target_link_libraries(split_pages_tests PRIVATE tarnwick_split_pages tarnwick_gui_test_support)
include(GoogleTest)
gtest_discover_tests(split_pages_tests
  PROPERTIES LABELS split ENVIRONMENT "${TARNWICK_GUI_TEST_ENV}" TIMEOUT 60
  DISCOVERY_TIMEOUT 60)
