#pragma once
// Controls and resources that every wizard page shares: the bottom button
// row, the side banner, the window icon and the skinned buttons' cursor.

namespace page_ids {

// Buttons of the bottom row.
inline constexpr int IDC_BACK = 1016;
inline constexpr int IDC_EXIT = 1018;
inline constexpr int IDC_HELP = 1043;
inline constexpr int IDC_HOME_PAGE = 1044;   // split and join pages
inline constexpr int IDC_BANNER = 1057;      // first and join pages

// Resources.
inline constexpr int IDR_MAINFRAME = 128;    // window icon
inline constexpr int IDC_HAND = 159;         // cursor of the skinned buttons
inline constexpr int IDB_BANNER = 243;       // 94 x 250 side picture

// Bitmaps of the bottom-row buttons (hover image, normal image).
inline constexpr int IDB_NEXT_HOVER = 157;
inline constexpr int IDB_NEXT = 158;
inline constexpr int IDB_BACK = 160;
inline constexpr int IDB_BACK_HOVER = 161;
inline constexpr int IDB_EXIT = 162;
inline constexpr int IDB_EXIT_HOVER = 163;
inline constexpr int IDB_HELP = 164;
inline constexpr int IDB_HELP_HOVER = 165;
inline constexpr int IDB_HOME_PAGE_HOVER = 216;
inline constexpr int IDB_HOME_PAGE = 217;

} // namespace page_ids
