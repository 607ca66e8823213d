# The split engine: builds and watches the graph of one split piece. No GUI
# types; the settings dialog and tarnwick-cli both link it.
add_library(tarnwick_split_engine STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Mp3CopyPlan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mp3PieceWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputNaming.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SplitEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TypedTime.cpp
)
target_include_directories(tarnwick_split_engine PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tarnwick_split_engine PUBLIC tarnwick_media)
