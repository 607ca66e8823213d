# Tests of the split pages: the split page (loading, player, breakpoints) and
# the split settings dialog. Real files from the fixtures, null audio output.
add_executable(split_pages_tests
  ${CMAKE_CURRENT_LIST_DIR}/SplitPagesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SplitPageFixture.h ${CMAKE_CURRENT_LIST_DIR}/SplitPageFixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SplitPlayerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SplitBreakpointsTest.cpp)
target_link_libraries(split_pages_tests PRIVATE
  tarnwick_split_pages tarnwick_gui_test_support tarnwick_test_fixtures)
include(GoogleTest)
gtest_discover_tests(split_pages_tests
  PROPERTIES LABELS split ENVIRONMENT "${TARNWICK_GUI_TEST_ENV}" TIMEOUT 60
  DISCOVERY_TIMEOUT 60)
