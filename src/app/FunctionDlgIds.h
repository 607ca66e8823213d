#pragma once
// Control, menu and resource ids of the first page and the about box.

#include "PageIds.h"

namespace function_ids {

using namespace page_ids;

inline constexpr int IDD_FUNCTION = 102;
inline constexpr int IDD_ABOUTBOX = 100;

inline constexpr int IDC_FUNCTION_LABEL = 1041;
inline constexpr int IDC_SPLIT_CHOICE = 1019;
inline constexpr int IDC_MERGE_CHOICE = 1020;
inline constexpr int IDC_NEXT = 1021;
inline constexpr int IDC_SOURCE_PATH = 1012;
inline constexpr int IDC_SOURCE_LABEL = 1040;
inline constexpr int IDC_SELECT_FILE = 1022;
inline constexpr int IDC_CONTINUE_LABEL = 1042;
inline constexpr int IDC_FIRST_HOME_PAGE = 1052;   // the first page's own home page id
// The about box's label with the program name, version and copyright line
// (made by the box, beside the template's icon and button).
inline constexpr int IDC_ABOUT_TEXT = 1060;

inline constexpr int IDB_SELECT_FILE_HOVER = 174;
inline constexpr int IDB_SELECT_FILE = 175;

// The about entry of the page's window menu and its text (string 101).
inline constexpr int IDM_ABOUTBOX = 0x0010;
inline constexpr int IDS_ABOUTBOX = 101;

} // namespace function_ids
