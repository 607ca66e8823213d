# Split engine tests: real files, real encoder and writers, no GUI; and the
# typed time entry the split page reads.
include(GoogleTest)
add_executable(split_engine_test SplitEngineTest.cpp Mp3CopyTest.cpp TypedTimeTest.cpp)
target_include_directories(split_engine_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/media)
target_link_libraries(split_engine_test PRIVATE
  tarnwick_split_engine tarnwick_test_fixtures tarnwick_media_test_main GTest::gtest)
tarnwick_engine_tests(split_engine_test split)
