#include "media/graph/TimeText.h"

#include <cstdio>

namespace {

std::string Format(REFERENCE_TIME t, bool withMilliseconds)
{
    const long long ms = t > 0 ? TimeToMs(t) : 0;
    const long long seconds = ms / 1000;
    char text[64];
    if (withMilliseconds)
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60, ms % 1000);
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

} // namespace

std::string FormatClock(REFERENCE_TIME t)
{
    return Format(t, false);
}

std::string FormatClockMs(REFERENCE_TIME t)
{
    return Format(t, true);
}
