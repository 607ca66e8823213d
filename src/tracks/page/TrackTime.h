#pragma once
// Track times as the tracks page shows and reads them: "hh:mm:ss.mmm".

#include <QString>

#include <cstdint>
#include <optional>

namespace tracktime {

using Time = std::int64_t; // 100 ns units

inline constexpr Time kMillisecond = 10'000;
inline constexpr Time kSecond = 10'000'000;

// "01:02:03.456"; hours are not limited to two digits.
QString Format(Time t);
// Reads "h:mm:ss.mmm", "mm:ss.mmm", "ss.mmm" or without the fraction (up to
// three digits of it); nullopt for anything else.
std::optional<Time> Parse(const QString& text);

} // namespace tracktime
