#pragma once
// Control, timer, message and bitmap ids of the split page (template 129).

#include "DialogConstants.h"
#include "PageIds.h"

namespace split_ids {

using namespace page_ids;

inline constexpr int IDD_SPLIT = 129;

inline constexpr int IDC_POSITION = 1000;        // slider
inline constexpr int IDC_ADD_CURRENT = 1001;     // breakpoint at the playing position
inline constexpr int IDC_PLAY = 1003;
inline constexpr int IDC_PAUSE = 1004;
inline constexpr int IDC_FAST_BACKWARD = 1005;
inline constexpr int IDC_FAST_FORWARD = 1006;
inline constexpr int IDC_SEEK_BEGIN = 1007;
inline constexpr int IDC_SEEK_END = 1008;
inline constexpr int IDC_BREAKPOINTS = 1009;
inline constexpr int IDC_TYPED_TIME = 1010;
inline constexpr int IDC_ADD_TYPED = 1011;
inline constexpr int IDC_OUTPUT_DIR = 1014;
inline constexpr int IDC_BROWSE_OUTPUT = 1015;
inline constexpr int IDC_SPLIT_NEXT = 1017;
inline constexpr int IDC_DURATION = 1023;
inline constexpr int IDC_CURRENT_TIME = 1025;
inline constexpr int IDC_OUTPUT_FORMAT = 1056;
inline constexpr int IDC_TRACKS = 1070;         // opens the tracks page

inline constexpr int IDT_POSITION = 55;          // 250 ms
inline constexpr int IDT_STARTUP = 56;           // 250 ms, once

// Pop-up menu of the breakpoint list and its commands.
inline constexpr int IDR_BREAKPOINT_MENU = 130;
inline constexpr int ID_DELETE_THIS_BREAKPOINT = 32771;
inline constexpr int ID_DELETE_ALL_BREAKPOINTS = 32772;

// Bitmaps of the page's own buttons (hover image, normal image).
inline constexpr int IDB_BROWSE_OUTPUT_HOVER = 181;
inline constexpr int IDB_BROWSE_OUTPUT = 180;
inline constexpr int IDB_ADD_TYPED_HOVER = 185;
inline constexpr int IDB_ADD_TYPED = 184;
inline constexpr int IDB_ADD_CURRENT_HOVER = 187;
inline constexpr int IDB_ADD_CURRENT = 186;
inline constexpr int IDB_PAUSE_HOVER = 190;
inline constexpr int IDB_PAUSE = 189;
inline constexpr int IDB_PLAY_HOVER = 191;
inline constexpr int IDB_PLAY = 192;
inline constexpr int IDB_SEEK_BEGIN_HOVER = 202;
inline constexpr int IDB_SEEK_BEGIN = 204;
inline constexpr int IDB_SEEK_END_HOVER = 195;
inline constexpr int IDB_SEEK_END = 196;
inline constexpr int IDB_FAST_BACKWARD_HOVER = 197;
inline constexpr int IDB_FAST_BACKWARD = 198;
inline constexpr int IDB_FAST_FORWARD_HOVER = 199;
inline constexpr int IDB_FAST_FORWARD = 200;

} // namespace split_ids
