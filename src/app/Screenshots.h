#pragma once
// `tarnwick --screenshots DIR`: draws every page once and writes it as a PNG
// into DIR, so the pages can be looked at without a desktop session.

#include <QString>

int RunScreenshots(const QString& folder);
