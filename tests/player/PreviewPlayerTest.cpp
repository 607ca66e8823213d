// The preview player on real files through the null output, which plays in
// real time. Every wait is for a signal or a condition, with a deadline.

#include "PreviewPlayer.h"

#include <Fixtures.h>

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using fixtures::Signal;
using fixtures::TempDir;
using State = CPreviewPlayer::State;

namespace {

constexpr int kDeadlineMs = 10'000;

QString PathText(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

// Opens `path` and checks that the player stands cued at the start.
void OpenCued(CPreviewPlayer& player, const fs::path& path)
{
    const CPreviewPlayer::OpenResult opened = player.Open(PathText(path));
    ASSERT_TRUE(opened.Succeeded()) << opened.reason.toStdString();
    EXPECT_TRUE(player.IsOpen());
    EXPECT_EQ(player.PlaybackState(), State::Paused);
    EXPECT_EQ(player.Position(), REFERENCE_TIME(0));
}

// Waits until the player has played past `at`, as its position signals say.
bool PlaysPast(CPreviewPlayer& player, REFERENCE_TIME at)
{
    return QTest::qWaitFor([&] { return player.Position().value_or(0) > at; }, kDeadlineMs);
}

struct Sources {
    TempDir dir;
    fs::path mp3 = dir / "song.mp3";   // 2 s, 44.1 kHz stereo
    fs::path wav = dir / "voice.wav";  // 2 s, 22.05 kHz mono
    fs::path shortWav = dir / "blip.wav"; // 0.3 s
    Sources()
    {
        fixtures::WriteMp3(mp3, Signal{44100, 2, 2 * 44100});
        fixtures::WriteWav(wav, Signal{22050, 1, 2 * 22050});
        fixtures::WriteWav(shortWav, Signal{8000, 1, 2400});
    }
};

const Sources& TestSources()
{
    static const Sources sources;
    return sources;
}

} // namespace

TEST(PreviewPlayer, PlaysPausesAndGoesOnWhereItStoodInEveryChain)
{
    for (const fs::path& source : {TestSources().mp3, TestSources().wav}) {
        SCOPED_TRACE(source.filename().string());
        CPreviewPlayer player;
        QSignalSpy states(&player, &CPreviewPlayer::stateChanged);
        QSignalSpy positions(&player, &CPreviewPlayer::positionChanged);
        OpenCued(player, source);
        EXPECT_EQ(player.Duration(), SecondsToTime(2));
        // The silent output where no device is asked for (CI), the device on a sound server.
        EXPECT_EQ(player.OutputName().contains(QStringLiteral("null output")), qgetenv("TARNWICK_AUDIO") == "null")
            << player.OutputName().toStdString();

        ASSERT_TRUE(player.Play()) << player.Reason().toStdString();
        EXPECT_EQ(player.PlaybackState(), State::Playing);
        ASSERT_TRUE(PlaysPast(player, MsToTime(300)));
        EXPECT_TRUE(positions.wait(kDeadlineMs)); // told while playing, without being asked

        ASSERT_TRUE(player.Pause());
        const REFERENCE_TIME paused = player.Position().value_or(-1);
        ASSERT_TRUE(player.Stop());
        EXPECT_EQ(player.Position(), paused); // Stop keeps the place
        ASSERT_TRUE(player.Play());
        ASSERT_TRUE(PlaysPast(player, paused));
        EXPECT_GE(player.Position().value_or(0), paused); // on from there, not from the start

        const QList<State> expected = {State::Paused, State::Playing, State::Paused, State::Stopped,
                                       State::Playing};
        QList<State> seen;
        for (const QList<QVariant>& change : states)
            seen << change.at(0).value<State>();
        EXPECT_EQ(seen, expected);
    }
}

TEST(PreviewPlayer, ASeekLandsWhereAskedAndKeepsTheState)
{
    const REFERENCE_TIME target = MsToTime(1250);
    for (State state : {State::Stopped, State::Paused, State::Playing}) {
        SCOPED_TRACE(static_cast<int>(state));
        CPreviewPlayer player;
        OpenCued(player, TestSources().mp3);
        if (state == State::Stopped) {
            ASSERT_TRUE(player.Stop());
        } else if (state == State::Playing) {
            ASSERT_TRUE(player.Play());
        }
        QSignalSpy positions(&player, &CPreviewPlayer::positionChanged);
        ASSERT_TRUE(player.Seek(target)) << player.Reason().toStdString();
        EXPECT_EQ(player.PlaybackState(), state);
        ASSERT_FALSE(positions.isEmpty()); // the seek is told at once
        if (state == State::Playing) {
            EXPECT_GE(positions.first().at(0).value<REFERENCE_TIME>(), target);
            EXPECT_TRUE(PlaysPast(player, target + MsToTime(200)));
        } else {
            EXPECT_EQ(positions.first().at(0).value<REFERENCE_TIME>(), target);
            EXPECT_EQ(player.Position(), target);
        }
    }
}

TEST(PreviewPlayer, TheEndStopsThePlayerAtTheEndAndPlayStartsAgain)
{
    CPreviewPlayer player;
    QSignalSpy ended(&player, &CPreviewPlayer::ended);
    QSignalSpy errors(&player, &CPreviewPlayer::errorOccurred);
    OpenCued(player, TestSources().shortWav);
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(ended.wait(kDeadlineMs));
    EXPECT_EQ(player.PlaybackState(), State::Stopped);
    EXPECT_EQ(player.Position(), player.Duration());
    EXPECT_TRUE(errors.isEmpty());

    QSignalSpy positions(&player, &CPreviewPlayer::positionChanged);
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(positions.wait(kDeadlineMs));
    EXPECT_LT(positions.first().at(0).value<REFERENCE_TIME>(), *player.Duration()); // from the start again
    EXPECT_TRUE(ended.wait(kDeadlineMs));
}

TEST(PreviewPlayer, TheEndOfAFileNoLongerOpenIsNeverTold)
{
    CPreviewPlayer player;
    QSignalSpy ended(&player, &CPreviewPlayer::ended);
    OpenCued(player, TestSources().shortWav);
    ASSERT_TRUE(player.Play());
    // Replaced while it plays: its end (0.3 s in) must not be taken for the
    // end of the file opened now.
    OpenCued(player, TestSources().mp3);
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(PlaysPast(player, MsToTime(800)));
    EXPECT_TRUE(ended.isEmpty());
    EXPECT_EQ(player.PlaybackState(), State::Playing);
}

TEST(PreviewPlayer, FilesThatCannotBePlayedAreRefusedAndLeaveNothingOpen)
{
    TempDir dir;
    std::ofstream(dir / "empty.mp3").flush();
    std::ofstream(dir / "text.wav") << "not a sound file, only words\n";
    std::ofstream(dir / "noise.mp3") << std::string(5000, '\x5a');
    for (const char* name : {"empty.mp3", "text.wav", "noise.mp3", "missing.wav"}) {
        SCOPED_TRACE(name);
        CPreviewPlayer player;
        const CPreviewPlayer::OpenResult opened = player.Open(PathText(dir / name));
        EXPECT_EQ(opened.failedStep, CPreviewPlayer::OpenStep::Render);
        EXPECT_FALSE(opened.reason.isEmpty());
        EXPECT_FALSE(player.IsOpen());
        EXPECT_EQ(player.PlaybackState(), State::Stopped);
        EXPECT_FALSE(player.Play());
        EXPECT_FALSE(player.Seek(0));
        EXPECT_FALSE(player.Reason().isEmpty());
        EXPECT_EQ(player.Duration(), std::nullopt);
    }
}

TEST(PreviewPlayer, AStreamThatFailsSaysWhyAndStops)
{
    TempDir dir;
    const fs::path source = dir / "long.wav";
    fixtures::WriteWav(source, Signal{44100, 2, 8 * 44100});
    CPreviewPlayer player;
    QSignalSpy ended(&player, &CPreviewPlayer::ended);
    QSignalSpy errors(&player, &CPreviewPlayer::errorOccurred);
    OpenCued(player, source);
    fs::resize_file(source, 44100 * 4); // cut to a quarter second under the player
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(ended.wait(kDeadlineMs));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_FALSE(errors.first().at(0).toString().isEmpty());
    EXPECT_EQ(player.PlaybackState(), State::Stopped);
}
