# Tests of the split settings dialog, with whole runs on real files.
add_executable(convert_dlg_tests ${CMAKE_CURRENT_LIST_DIR}/ConvertDlgTest.cpp)
target_include_directories(convert_dlg_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/media)
target_link_libraries(convert_dlg_tests PRIVATE
  tarnwick_split_pages tarnwick_gui_test_support tarnwick_test_fixtures)
include(GoogleTest)
gtest_discover_tests(convert_dlg_tests
  PROPERTIES LABELS split ENVIRONMENT "${TARNWICK_GUI_TEST_ENV}" TIMEOUT 60
  DISCOVERY_TIMEOUT 60)
