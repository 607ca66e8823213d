#pragma once
// Numeric values the pages share with the Windows dialog model they follow:
// result codes of modal runs, private message bases and list-view styles.

namespace ui {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Controls without an id of their own (labels, frames, pictures).
inline constexpr int IDC_STATIC = -1;

// Private message bases; a posted message keeps its numeric value as the
// QEvent type, so WM_APP + 1 arrives as event type 0x8001.
inline constexpr int WM_USER = 0x0400;
inline constexpr int WM_APP = 0x8000;

// Extended list-view styles understood by SetListViewExtendedStyle.
inline constexpr unsigned LVS_EX_GRIDLINES = 0x0001;
inline constexpr unsigned LVS_EX_FULLROWSELECT = 0x0020;

} // namespace ui
