#pragma once
// What the split page tests share: source files made once per run, and a
// split page opened for one of them and loaded as the person sees it.

#include "Fixtures.h"
#include "SplitDlg.h"

#include <QString>
#include <memory>

namespace splittest {

struct Sources {
    fixtures::TempDir dir;
    fixtures::fs::path mp3;         // 3 s MP3, 44.1 kHz stereo
    fixtures::fs::path wavAsMp3;    // a 2 s WAV named "Lied ä.mp3" in "Mein Ördner"
    fixtures::fs::path hourMp3;     // an MP3 of more than an hour, 8 kHz mono
};
// Made on first use, removed at the end of the run.
const Sources& TestSources();

// A path as the pages hold it (any bytes, FileNames.h).
QString PathText(const fixtures::fs::path& path);

// A split page for `source`, shown, once its start-up load has run.
std::unique_ptr<CSplitDlg> OpenSplitPage(const fixtures::fs::path& source);

} // namespace splittest
