// Running graphs: real-time playback (through the null output here, through
// a private PulseAudio server in tools/pulse-check.sh), pause, stop and seek
// keeping the position, completion and failure events, streaming every
// sample exactly once to a sink.
//
// Playing tests wait for what they need (a position, the graph's completion,
// a notification) up to a generous deadline: a loaded machine or a sound
// server that takes a while to take up a stream only makes them slower. The
// pace is checked against the clock in the one direction no delay can
// break: what has been heard is never more than the time that has passed.

#include "media/graph/CFilterGraph.h"
#include "HresultAssertions.h"
#include "CoreTestSink.h"
#include "media/graph/FilterRegistry.h"
#include "Fixtures.h"
#include "media/render/MediaGraph.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

using namespace fixtures;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr REFERENCE_TIME kMs = 10'000;
// How long a wait may take before the test gives up on it. An idle sound
// server may take 2 s to take up a new stream.
constexpr auto kDeadline = 20s;
constexpr long kDeadlineMs = 20'000;
// How far a device's report of what has been heard may run ahead of the
// clock: its timing is an estimate, off by a few milliseconds.
constexpr REFERENCE_TIME kClockSlack = 25 * kMs;

REFERENCE_TIME Position(IMediaSeeking& seeking)
{
    REFERENCE_TIME position = -1;
    EXPECT_EQ(seeking.GetCurrentPosition(&position), S_OK);
    return position;
}

// The time since `since`, in position units.
REFERENCE_TIME Since(Clock::time_point since)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - since).count() * 10;
}

// Polls `done` until it holds; false when the deadline passed first.
template <class Condition>
bool WaitUntil(Condition done, Clock::duration limit = kDeadline)
{
    const auto until = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() >= until)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

bool WaitForPosition(IMediaSeeking& seeking, REFERENCE_TIME at)
{
    return WaitUntil([&] { return Position(seeking) >= at; });
}

// Waits for the position to reach `at` after the graph was set going from
// `from` at `since` (a Run or a seek). True when it got there and every
// reading on the way lay between `from` and `from` plus the time passed:
// playing goes on from that place at the clock's pace, never ahead of it.
bool PlaysOnFrom(IMediaSeeking& seeking, REFERENCE_TIME from, Clock::time_point since, REFERENCE_TIME at)
{
    REFERENCE_TIME lowest = from, mostAhead = 0;
    const bool reached = WaitUntil([&] {
        const REFERENCE_TIME position = Position(seeking);
        lowest = std::min(lowest, position);
        mostAhead = std::max(mostAhead, position - from - Since(since));
        return position >= at;
    });
    EXPECT_EQ(lowest, from) << "the position went back before the place it plays from";
    EXPECT_LE(mostAhead, kClockSlack) << "the position ran ahead of the clock";
    return reached;
}

// A paused or stopped graph: the position stays at `expected` while time
// passes. Compares readings across a wait; how long it took is not looked at.
void ExpectPositionHolds(IMediaSeeking& seeking, REFERENCE_TIME expected)
{
    EXPECT_EQ(Position(seeking), expected);
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(Position(seeking), expected);
}

// A playback graph for an MP3 as the preview player builds it.
struct Player {
    explicit Player(const fs::path& path)
    {
        EXPECT_SUCCEEDED(holder.BuildDecodeGraph(path.string()));
        graph = std::dynamic_pointer_cast<CFilterGraph>(holder.graph);
    }
    CMediaGraph holder;
    std::shared_ptr<CFilterGraph> graph;
};

// Source -> splitter -> decoder -> capture sink, run without a clock.
struct Pipeline {
    explicit Pipeline(const fs::path& path, int failAfterBlocks = -1)
        : sink(std::make_shared<CaptureSink>(failAfterBlocks))
    {
        graph = CreateFilterGraph();
        std::shared_ptr<CBaseFilter> source, splitter, decoder;
        EXPECT_SUCCEEDED(graph->AddSourceFilter(path.string(), path.string(), &source));
        EXPECT_SUCCEEDED(CreateFilter(clsid::MPEG1Splitter, &splitter));
        EXPECT_SUCCEEDED(CreateFilter(clsid::Mp3Decoder, &decoder));
        EXPECT_SUCCEEDED(graph->AddFilter(splitter, "MPEG-I Stream Splitter"));
        EXPECT_SUCCEEDED(graph->AddFilter(decoder, "MPEG Layer-3 Decoder"));
        EXPECT_SUCCEEDED(graph->AddFilter(sink, "Sink"));
        EXPECT_SUCCEEDED(graph->ConnectDirect(source->EnumPins()[0], splitter->EnumPins()[0], nullptr));
        EXPECT_SUCCEEDED(graph->ConnectDirect(splitter->EnumPins()[1], decoder->EnumPins()[0], nullptr));
        EXPECT_EQ(graph->ConnectDirect(decoder->EnumPins()[1], sink->EnumPins()[0], nullptr), S_OK);
    }
    std::shared_ptr<CFilterGraph> graph;
    std::shared_ptr<CaptureSink> sink;
};

class PlaybackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        WriteMp3(*s_dir / "five.mp3", Signal{44100, 2, 5 * 44100});
        WriteMp3(*s_dir / "short.mp3", Signal{22050, 1, 11025});
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static TempDir* s_dir;
};
TempDir* PlaybackTest::s_dir = nullptr;

} // namespace

TEST_F(PlaybackTest, PlaysAtRealTimePace)
{
    Player player(*s_dir / "five.mp3");
    ASSERT_TRUE(player.graph);
    IMediaSeeking& seeking = *player.graph;
    EXPECT_EQ(Position(seeking), 0);
    const auto started = Clock::now();
    ASSERT_EQ(player.graph->Run(), S_OK);
    FILTER_STATE state{};
    EXPECT_EQ(player.graph->GetState(10, &state), S_OK);
    EXPECT_EQ(state, State_Running);

    // The position follows the clock: never ahead of the time since Run, and
    // smoothly, not in jumps of part of a decoded block. Each step is
    // measured against the most time that can have passed for it (from just
    // before the reading before it to just after it), so that a busy machine
    // does not make a jump.
    REFERENCE_TIME last = 0, largestJump = 0, mostAhead = 0;
    auto before = started;
    const bool reached = WaitUntil([&] {
        const auto nextBefore = Clock::now();
        const REFERENCE_TIME now = Position(seeking);
        const REFERENCE_TIME passed = Since(before);
        largestJump = std::max(largestJump, now - last - passed);
        mostAhead = std::max(mostAhead, now - Since(started));
        last = now;
        before = nextBefore;
        return now >= 600 * kMs;
    });
    ASSERT_TRUE(reached) << "the position stayed at " << last;
    EXPECT_LE(mostAhead, kClockSlack);
    EXPECT_LT(largestJump, kClockSlack);
}

TEST_F(PlaybackTest, PauseAndStopKeepThePositionAndRunResumes)
{
    Player player(*s_dir / "five.mp3");
    IMediaSeeking& seeking = *player.graph;
    EXPECT_SUCCEEDED(player.graph->Run());
    ASSERT_TRUE(WaitForPosition(seeking, 200 * kMs));

    ASSERT_EQ(player.graph->Pause(), S_OK);
    const REFERENCE_TIME paused = Position(seeking);
    ExpectPositionHolds(seeking, paused);

    // Run goes on from the paused place.
    auto since = Clock::now();
    EXPECT_SUCCEEDED(player.graph->Run());
    ASSERT_TRUE(PlaysOnFrom(seeking, paused, since, paused + 100 * kMs));
    ASSERT_EQ(player.graph->Stop(), S_OK);
    const REFERENCE_TIME stopped = Position(seeking);
    EXPECT_GE(stopped, paused + 100 * kMs);
    ExpectPositionHolds(seeking, stopped);
    FILTER_STATE state{};
    EXPECT_SUCCEEDED(player.graph->GetState(0, &state));
    EXPECT_EQ(state, State_Stopped);

    // Play goes on from where it stopped, not from the start.
    since = Clock::now();
    EXPECT_SUCCEEDED(player.graph->Run());
    EXPECT_TRUE(PlaysOnFrom(seeking, stopped, since, stopped + 100 * kMs));
}

TEST_F(PlaybackTest, SeekingMovesThePositionInEveryState)
{
    Player player(*s_dir / "five.mp3");
    IMediaSeeking& seeking = *player.graph;
    REFERENCE_TIME target = 2 * kUnitsPerSecond;
    // Stopped: taken as the place to start from.
    ASSERT_EQ(seeking.SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    EXPECT_EQ(Position(seeking), target);

    // Running: goes on playing from there.
    EXPECT_SUCCEEDED(player.graph->Run());
    target = 4 * kUnitsPerSecond;
    const auto seeked = Clock::now();
    EXPECT_SUCCEEDED(seeking.SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning));
    EXPECT_TRUE(PlaysOnFrom(seeking, target, seeked, target + 200 * kMs));

    // Paused: stays paused at the new place.
    EXPECT_SUCCEEDED(player.graph->Pause());
    target = 1 * kUnitsPerSecond;
    EXPECT_SUCCEEDED(seeking.SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning));
    ExpectPositionHolds(seeking, target);
    FILTER_STATE state{};
    EXPECT_SUCCEEDED(player.graph->GetState(0, &state));
    EXPECT_EQ(state, State_Paused);

    // Past the end: clamped to the duration.
    target = 60 * kUnitsPerSecond;
    EXPECT_SUCCEEDED(seeking.SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning));
    EXPECT_EQ(Position(seeking), 5 * kUnitsPerSecond);
}

TEST_F(PlaybackTest, EndOfStreamPostsCompleteAndNotifies)
{
    Player player(*s_dir / "short.mp3");
    IMediaSeeking& seeking = *player.graph;
    std::atomic<int> notified{0};
    EXPECT_SUCCEEDED(player.graph->SetNotifyWindow([&] { ++notified; }));
    auto since = Clock::now();
    EXPECT_SUCCEEDED(player.graph->Run());
    // Half a second of audio, played out at its pace: the position never
    // runs ahead of the clock, and the end comes once the last sample has
    // been heard, so the position is then the whole length.
    long code = 0;
    HRESULT hr = E_ABORT;
    REFERENCE_TIME mostAhead = 0;
    ASSERT_TRUE(WaitUntil([&] {
        mostAhead = std::max(mostAhead, Position(seeking) - Since(since));
        hr = player.graph->WaitForCompletion(5, &code);
        return hr != E_ABORT;
    }));
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_LE(mostAhead, kClockSlack);
    EXPECT_EQ(Position(seeking), kUnitsPerSecond / 2);
    long p1 = 0, p2 = 0;
    ASSERT_EQ(player.graph->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(player.graph->FreeEventParams(code, p1, p2), S_OK);
    EXPECT_EQ(player.graph->GetEvent(&code, &p1, &p2, 0), E_ABORT);
    EXPECT_TRUE(WaitUntil([&] { return notified > 0; }));
    EXPECT_EQ(notified, 1);

    // Stopped at the end, Play starts over.
    EXPECT_SUCCEEDED(player.graph->Stop());
    since = Clock::now();
    EXPECT_SUCCEEDED(player.graph->Run());
    EXPECT_TRUE(PlaysOnFrom(seeking, 0, since, 100 * kMs));
    EXPECT_SUCCEEDED(player.graph->SetNotifyWindow(nullptr)); // waits for a callback under way
}

TEST_F(PlaybackTest, WithoutAClockTheGraphRunsFasterThanRealTime)
{
    // The same file played with a clock, started first, is the pace to
    // beat: the graph without one is through the whole file while the other
    // is still playing it.
    Player paced(*s_dir / "five.mp3");
    Player player(*s_dir / "five.mp3");
    EXPECT_SUCCEEDED(player.graph->SetSyncSource(nullptr));
    ASSERT_EQ(paced.graph->Run(), S_OK);
    EXPECT_SUCCEEDED(player.graph->Run());
    long code = 0;
    ASSERT_EQ(player.graph->WaitForCompletion(kDeadlineMs, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(Position(*player.graph), 5 * kUnitsPerSecond);
    EXPECT_LT(Position(*paced.graph), 5 * kUnitsPerSecond);
    EXPECT_EQ(paced.graph->WaitForCompletion(0, &code), E_ABORT);
}

TEST_F(PlaybackTest, EverySampleReachesTheSinkOnceFromTheSeekPosition)
{
    const fs::path path = *s_dir / "five.mp3";
    Pipeline pipeline(path);
    REFERENCE_TIME start = 1 * kUnitsPerSecond + 12345; // frame 44154.44 -> 44154
    EXPECT_SUCCEEDED(pipeline.graph->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning));
    EXPECT_SUCCEEDED(pipeline.graph->Run());
    long code = 0;
    ASSERT_EQ(pipeline.graph->WaitForCompletion(kDeadlineMs, &code), S_OK);
    ASSERT_EQ(code, EC_COMPLETE);
    EXPECT_TRUE(pipeline.sink->ended);
    ASSERT_EQ(pipeline.sink->segmentStarts, std::vector<std::int64_t>{44154});
    const Decoded whole = ReadAudio(path);
    ASSERT_EQ(pipeline.sink->samples.size(), whole.samples.size() - 44154 * 2);
    double worst = 0;
    for (std::size_t i = 0; i < pipeline.sink->samples.size(); ++i)
        worst = std::max(worst, double(std::fabs(pipeline.sink->samples[i] - whole.samples[44154 * 2 + i])));
    EXPECT_LT(worst, 1e-4);
    // Without a renderer the position is what the sink has taken.
    EXPECT_EQ(Position(*pipeline.graph), 5 * kUnitsPerSecond);
}

TEST_F(PlaybackTest, ASinkFailureAbortsWithItsReasonAfterCleaningUp)
{
    Pipeline pipeline(*s_dir / "five.mp3", 3);
    std::atomic<bool> notified{false};
    std::atomic<bool> cleanedFirst{false};
    auto sink = pipeline.sink;
    EXPECT_SUCCEEDED(pipeline.graph->SetNotifyWindow([&] {
        cleanedFirst = sink->abortedRemoving.load();
        notified = true;
    }));
    EXPECT_SUCCEEDED(pipeline.graph->Run());
    long code = 0;
    ASSERT_EQ(pipeline.graph->WaitForCompletion(kDeadlineMs, &code), S_OK);
    // Whoever hears of the failure finds the partial output gone already.
    EXPECT_TRUE(sink->abortedRemoving);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_EQ(pipeline.graph->ErrorReason(), "cannot write /nowhere/out.mp3: No space left on device");
    EXPECT_TRUE(WaitUntil([&] { return notified.load(); }));
    EXPECT_TRUE(cleanedFirst);
    EXPECT_SUCCEEDED(pipeline.graph->SetNotifyWindow(nullptr));
    EXPECT_SUCCEEDED(pipeline.graph->Stop());
    EXPECT_FALSE(sink->abortedKeeping);
}

TEST_F(PlaybackTest, AFilterThatCannotStartEndsTheRunBeforeAnyData)
{
    Pipeline pipeline(*s_dir / "five.mp3");
    pipeline.sink->failOnStart = true;
    EXPECT_TRUE(FAILED(pipeline.graph->Run()));
    long code = 0;
    ASSERT_EQ(pipeline.graph->WaitForCompletion(1000, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_EQ(pipeline.graph->ErrorReason(), "cannot create /nowhere/out.mp3: Permission denied");
    EXPECT_TRUE(pipeline.sink->abortedRemoving);
    EXPECT_EQ(pipeline.sink->blocks, 0);
    FILTER_STATE state{};
    EXPECT_SUCCEEDED(pipeline.graph->GetState(0, &state));
    EXPECT_EQ(state, State_Stopped);
}

TEST_F(PlaybackTest, PauseOnAGraphThatCannotCueFailsWithTheReasonAndRunStillEnds)
{
    auto empty = CreateFilterGraph();
    EXPECT_TRUE(FAILED(empty->Pause()));
    EXPECT_FALSE(empty->LastError().empty());
    FILTER_STATE state{};
    EXPECT_SUCCEEDED(empty->GetState(0, &state));
    EXPECT_EQ(state, State_Stopped);
    EXPECT_SUCCEEDED(empty->Run());
    long code = 0;
    ASSERT_EQ(empty->WaitForCompletion(1000, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);

    Pipeline pipeline(*s_dir / "five.mp3");
    pipeline.sink->failOnStart = true;
    EXPECT_TRUE(FAILED(pipeline.graph->Pause()));
    EXPECT_EQ(pipeline.graph->LastError(), "cannot create /nowhere/out.mp3: Permission denied");
    EXPECT_SUCCEEDED(pipeline.graph->GetState(0, &state));
    EXPECT_EQ(state, State_Stopped);
    EXPECT_EQ(pipeline.sink->blocks, 0);
}

TEST_F(PlaybackTest, AUserStopOfAJobKeepsWhatWasWritten)
{
    // A pipeline that has started (cued) but not finished is stopped.
    Pipeline pipeline(*s_dir / "five.mp3");
    EXPECT_SUCCEEDED(pipeline.graph->Pause());
    EXPECT_SUCCEEDED(pipeline.graph->Stop());
    EXPECT_TRUE(pipeline.sink->abortedKeeping);
    EXPECT_FALSE(pipeline.sink->abortedRemoving);
}

TEST_F(PlaybackTest, ASourceTruncatedWhilePlayingEndsInAnError)
{
    TempDir dir;
    const fs::path path = dir / "shrinking.mp3";
    WriteMp3(path, Signal{44100, 2, 20 * 44100});
    Pipeline pipeline(path);
    fs::resize_file(path, 4096);
    EXPECT_SUCCEEDED(pipeline.graph->Run());
    long code = 0;
    ASSERT_EQ(pipeline.graph->WaitForCompletion(kDeadlineMs, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_NE(pipeline.graph->ErrorReason().find("truncated"), std::string::npos) << pipeline.graph->ErrorReason();
    EXPECT_TRUE(pipeline.sink->abortedRemoving);
}

TEST_F(PlaybackTest, NothingToRunEndsAtOnceInsteadOfWaitingForever)
{
    auto graph = CreateFilterGraph();
    long code = 0;
    EXPECT_EQ(graph->WaitForCompletion(-1, &code), VFW_E_WRONG_STATE);
    EXPECT_SUCCEEDED(graph->Run());
    ASSERT_EQ(graph->WaitForCompletion(1000, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_FALSE(graph->ErrorReason().empty());

    // A decode graph whose file could not be opened behaves the same.
    CMediaGraph holder;
    EXPECT_EQ(holder.BuildDecodeGraph("/nonexistent/song.mp3"), VFW_E_NOT_FOUND_FILE);
    EXPECT_EQ(holder.Run(), S_OK); // nothing to stream: it ends at once, in an error
    auto events = holder.events;
    ASSERT_TRUE(events);
    ASSERT_EQ(events->WaitForCompletion(1000, &code), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
}

TEST_F(PlaybackTest, DestroyingAPlayingGraphStopsItsThreads)
{
    auto player = std::make_unique<Player>(*s_dir / "five.mp3");
    EXPECT_SUCCEEDED(player->graph->Run());
    ASSERT_TRUE(WaitForPosition(*player->graph, 50 * kMs));
    std::weak_ptr<CFilterGraph> weak = player->graph;
    player.reset();
    EXPECT_TRUE(weak.expired());
}
