#pragma once
// The split page's typed time entry ("hh:mm:ss" in an edit box) read into a
// break point. GUI-free, so the page, its tests and the fuzzer share it.
//
// How the text is read:
// - blanks around the text are ignored; what remains must fit the page's
//   12-byte working buffer (at most kTypedTimeMaxChars bytes), longer text
//   is a format error rather than being cut, so no digit is silently lost;
// - fields are split at ':' as C's strtok splits them: a run of colons
//   separates two fields, colons at either end make no field;
// - each field is read as C's atoi reads it: leading blanks, an optional
//   sign, the digits up to the first other character; no digits gives 0.
//   Values beyond int saturate instead of overflowing;
// - anything but three fields is a format error; then hours (0-23),
//   minutes (0-59) and seconds (0-59) are checked in that order, and the
//   first one out of range is the outcome.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::size_t kTypedTimeMaxChars = 11;
inline constexpr char kTypedTimeInitialText[] = "00:00:00";

enum class TypedTimeStatus {
    Ok,
    BadFormat,  // not three fields, or too long
    BadHours,   // outside 0-23
    BadMinutes, // outside 0-59
    BadSeconds, // outside 0-59
};

struct TypedTime {
    TypedTimeStatus status = TypedTimeStatus::BadFormat;
    int hours = 0;   // the fields as read, also when one is out of range
    int minutes = 0;
    int seconds = 0;
    std::int64_t milliseconds = 0; // only when Ok
    std::string text;              // "%02d:%02d:%02d", only when Ok
};

TypedTime ParseTypedTime(std::string_view text);
