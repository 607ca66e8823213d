#pragma once
// One split point: what the breakpoint list shows and where it lies.

#include <QString>
#include <QtGlobal>

#include <vector>

struct Breakpoint {
    QString text;      // "hh:mm:ss"
    qint64 timeMs = 0; // milliseconds from the start of the source
};

using BreakpointList = std::vector<Breakpoint>;
