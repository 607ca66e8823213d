#include "SplitPageFixture.h"

#include "FileNames.h"

#include <QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace splittest {

namespace {

// An hour of MP3 in no time: a 10 s stream without a Xing frame, repeated
// frame for frame.
void WriteHourMp3(const fixtures::fs::path& path, const fixtures::fs::path& scratch)
{
    fixtures::WriteMp3(scratch, fixtures::Signal{8000, 1, 10 * 8000},
                       fixtures::Mp3Options{8, false, false});
    std::ifstream in(scratch, std::ios::binary);
    const std::string piece{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 361; ++i)
        out << piece;
}

} // namespace

const Sources& TestSources()
{
    static Sources s;
    static const bool made = [] {
        s.mp3 = s.dir / "three.mp3";
        fixtures::WriteMp3(s.mp3, fixtures::Signal{44100, 2, 3 * 44100});
        const auto folder = s.dir.Path() / "Mein Ördner";
        fixtures::fs::create_directories(folder);
        s.wavAsMp3 = folder / "Lied ä.mp3";
        fixtures::WriteWav(s.wavAsMp3, fixtures::Signal{22050, 1, 2 * 22050});
        s.hourMp3 = s.dir / "hour.mp3";
        WriteHourMp3(s.hourMp3, s.dir / "ten.mp3");
        return true;
    }();
    (void)made;
    return s;
}

QString PathText(const fixtures::fs::path& path)
{
    return ui::FileNameFromBytes(path.string());
}

std::unique_ptr<CSplitDlg> OpenSplitPage(const fixtures::fs::path& source)
{
    auto page = std::make_unique<CSplitDlg>();
    page->m_strSourcePath = PathText(source);
    page->show();
    const QString loadedTitle = QStringLiteral("Tarnwick --") + page->m_strSourcePath;
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->windowTitle() == loadedTitle; }, 10000));
    return page;
}

} // namespace splittest
