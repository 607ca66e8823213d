# The split pages: the split page and the split settings dialog.
add_library(tarnwick_split_pages STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Breakpoint.h
  ${CMAKE_CURRENT_LIST_DIR}/SplitDlgIds.h
  ${CMAKE_CURRENT_LIST_DIR}/ConvertDlgIds.h
  ${CMAKE_CURRENT_LIST_DIR}/SplitDlgTemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SplitDlg.h ${CMAKE_CURRENT_LIST_DIR}/SplitDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SplitPlayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SplitBreakpoints.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BreakpointList.h ${CMAKE_CURRENT_LIST_DIR}/BreakpointList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConvertDlg.h ${CMAKE_CURRENT_LIST_DIR}/ConvertDlg.cpp
)
target_include_directories(tarnwick_split_pages PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tarnwick_split_pages PUBLIC
  tarnwick_ui tarnwick_controls tarnwick_split_engine)
