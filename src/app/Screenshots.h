#pragma once
// `tarnwick --screenshots DIR [SOURCE]`: draws every page once and writes it
// as a PNG into DIR, so the pages can be looked at without a desktop
// session. With SOURCE the split page shows that file loaded, paused, with
// breakpoints at 00:00:10 and 00:00:40.

#include <QString>

int RunScreenshots(const QString& folder, const QString& splitSource = QString());
