#pragma once
// Control and bitmap ids of the split settings dialog (template 131).

#include "DialogConstants.h"

namespace convert_ids {

inline constexpr int IDD_CONVERT = 131;

inline constexpr int IDC_PROGRESS = 1028;
inline constexpr int IDC_FILE_NAME = 1029;
inline constexpr int IDC_TIME_RANGE = 1030;
inline constexpr int IDC_CANCEL_SPLIT = 1034;
inline constexpr int IDC_START = 1036;
inline constexpr int IDC_BIT_RATE = 1037;
inline constexpr int IDC_SAMPLE_RATE = 1038;
inline constexpr int IDC_BIT_RATE_LABEL = 1057;
inline constexpr int IDC_SAMPLE_RATE_LABEL = 1058;
inline constexpr int IDC_KEEP_ORIGINAL = 1059; // copy the MP3 frames, no re-encoding

// A run's progress is polled every 100 ms; the graph's events come as a
// private message.
inline constexpr int IDT_SPLIT_PROGRESS = 57;
inline constexpr int kSplitProgressPeriodMs = 100;
inline constexpr int WM_CONVERT_GRAPHEVENT = ui::WM_APP + 3;

inline constexpr int IDB_START = 209;
inline constexpr int IDB_START_HOVER = 210;
inline constexpr int IDB_CANCEL_HOVER = 211;
inline constexpr int IDB_CANCEL = 212;

} // namespace convert_ids
