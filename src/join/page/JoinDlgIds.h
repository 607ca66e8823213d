#pragma once
// Control, timer, message and bitmap ids of the join page (template 219).

#include "DialogConstants.h"
#include "PageIds.h"

namespace join_ids {

using namespace page_ids;

inline constexpr int IDD_JOIN = 219;

inline constexpr int IDC_PLAY_FILE = 1003;
inline constexpr int IDC_OUTPUT_FORMAT = 1060;
inline constexpr int IDC_FILES = 1062;
inline constexpr int IDC_ADD = 1063;
inline constexpr int IDC_DELETE = 1064;
inline constexpr int IDC_MOVE_UP = 1065;
inline constexpr int IDC_MOVE_DOWN = 1066;
inline constexpr int IDC_STOP = 1068;
inline constexpr int IDC_PROGRESS = 1070;
inline constexpr int IDC_BEGIN = 1071;
inline constexpr int IDC_SETTINGS = 1072;

inline constexpr int IDT_PROGRESS = 10;            // 128 ms
inline constexpr int WM_GRAPHNOTIFY = ui::WM_USER + 20;

// Bitmaps of the page's own buttons (hover image, normal image).
inline constexpr int IDB_ADD_HOVER = 226;
inline constexpr int IDB_ADD = 225;
inline constexpr int IDB_DELETE_HOVER = 228;
inline constexpr int IDB_DELETE = 227;
inline constexpr int IDB_MOVE_UP_HOVER = 230;
inline constexpr int IDB_MOVE_UP = 229;
inline constexpr int IDB_MOVE_DOWN_HOVER = 231;
inline constexpr int IDB_MOVE_DOWN = 232;
inline constexpr int IDB_STOP_HOVER = 234;
inline constexpr int IDB_STOP = 233;
inline constexpr int IDB_PLAY_FILE_HOVER = 242;
inline constexpr int IDB_PLAY_FILE = 241;
inline constexpr int IDB_SETTINGS_HOVER = 237;
inline constexpr int IDB_SETTINGS = 238;
inline constexpr int IDB_BEGIN_HOVER = 240;
inline constexpr int IDB_BEGIN = 239;

} // namespace join_ids
