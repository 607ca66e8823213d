#pragma once
// The one way times are written for people: "hh:mm:ss", hours not wrapping
// at 24 nor limited to two digits, seconds truncated; negative times are
// written as 00:00:00.

#include "media/graph/MediaTime.h"

#include <string>

std::string FormatClock(REFERENCE_TIME t);
// "hh:mm:ss.mmm", milliseconds truncated.
std::string FormatClockMs(REFERENCE_TIME t);
