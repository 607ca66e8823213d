// The graph holder, the pin finder, the duration text and the media type
// record, on real decode graphs.

#include "media/graph/CFilterGraph.h"
#include "HresultAssertions.h"
#include "media/graph/FilterRegistry.h"
#include "Fixtures.h"
#include "media/render/MediaGraph.h"
#include "media/graph/MediaTypeValue.h"
#include "media/graph/TimeText.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace fixtures;

TEST(FormatClock, FormatsHoursMinutesSecondsWithoutWrapping)
{
    EXPECT_EQ(FormatClock(37'239'000'000), "01:02:03");
    EXPECT_EQ(FormatClock(0), "00:00:00");
    EXPECT_EQ(FormatClock(360'000LL * kUnitsPerSecond), "100:00:00");
    EXPECT_EQ(FormatClock(59'999'999), "00:00:05");
    EXPECT_EQ(FormatClock(86'400LL * kUnitsPerSecond), "24:00:00");
    CMediaGraph empty;
    EXPECT_EQ(empty.GetDurationText(), "00:00:00");
}

TEST(GetPin, CountsEachDirectionSeparately)
{
    std::shared_ptr<CBaseFilter> decoder;
    ASSERT_EQ(CreateFilter(clsid::Mp3Decoder, &decoder), S_OK);
    std::shared_ptr<CPin> pin;
    ASSERT_EQ(GetPin(decoder, PINDIR_OUTPUT, 0, &pin), S_OK);
    EXPECT_EQ(pin, decoder->EnumPins()[1]);
    ASSERT_EQ(GetPin(decoder, PINDIR_INPUT, 0, &pin), S_OK);
    EXPECT_EQ(pin, decoder->EnumPins()[0]);
    EXPECT_EQ(GetPin(decoder, PINDIR_OUTPUT, 1, &pin), E_FAIL);
    EXPECT_FALSE(pin);
    pin = decoder->EnumPins()[0];
    EXPECT_EQ(GetPin(nullptr, PINDIR_INPUT, 0, &pin), E_POINTER);
    EXPECT_FALSE(pin);
    EXPECT_EQ(GetPin(decoder, PINDIR_INPUT, -1, &pin), E_FAIL);
}

TEST(BuildDecodeGraph, TakesTheMp3BranchForMpegAudioWhateverItsName)
{
    TempDir dir;
    for (const char* name : {"SONG.MP3", "song.wav"}) {
        SCOPED_TRACE(name);
        const fs::path song = dir / name;
        WriteMp3(song, Signal{44100, 2, 3 * 44100 + 17});
        CMediaGraph holder;
        ASSERT_EQ(holder.BuildDecodeGraph(song.string()), S_OK);
        ASSERT_TRUE(holder.graph);
        const auto filters = holder.graph->EnumFilters();
        ASSERT_EQ(filters.size(), 4u);
        EXPECT_EQ(filters[0]->QueryFilterInfo(), song.string());
        EXPECT_EQ(filters[1]->QueryFilterInfo(), "MPEG-I Stream Splitter");
        EXPECT_EQ(filters[2]->QueryFilterInfo(), "MPEG Layer-3 Decoder");
        EXPECT_EQ(filters[3]->QueryFilterInfo(), "Default DirectSound Device");
        EXPECT_EQ(holder.GetDuration(), FrameToTime(3 * 44100 + 17, 44100));
        EXPECT_EQ(holder.GetDurationText(), "00:00:03");
        EXPECT_EQ(holder.GetCurrentPosition(), 0);
    }
}

TEST(BuildDecodeGraph, RendersASoundFileWhateverItsName)
{
    TempDir dir;
    for (const char* name : {"a.wav", "a.mp2", "a.mp3"}) {
        SCOPED_TRACE(name);
        const fs::path path = dir / name;
        WriteWav(path, Signal{8000, 1, 8000 * 4});
        CMediaGraph holder;
        EXPECT_EQ(holder.BuildDecodeGraph(path.string()), S_OK);
        ASSERT_TRUE(holder.graph);
        EXPECT_FALSE(holder.graph->FindFilterByName("MPEG-I Stream Splitter"));
        EXPECT_EQ(holder.graph->EnumFilters().size(), 2u);
        EXPECT_EQ(holder.GetDurationText(), "00:00:04");
    }
    CMediaGraph holder;
    EXPECT_EQ(holder.BuildDecodeGraph((dir / "missing.wav").string()), VFW_E_NOT_FOUND_FILE);
    EXPECT_EQ(holder.GetDuration(), 0);
    EXPECT_NE(holder.LastError().find("missing.wav"), std::string::npos) << holder.LastError();
    // The first failure is kept, whichever branch the file takes.
    EXPECT_EQ(holder.BuildDecodeGraph((dir / "missing.mp3").string()), VFW_E_NOT_FOUND_FILE);
    EXPECT_NE(holder.LastError().find("cannot open " + (dir / "missing.mp3").string()), std::string::npos)
        << holder.LastError();
}

TEST(MediaGraphHolder, ReleasesEverythingWhenRebuiltOrDeleted)
{
    CMediaGraph empty;
    empty.ReleaseAll(); // nothing held: nothing happens
    EXPECT_FALSE(empty.graph);

    TempDir dir;
    const fs::path song = dir / "song.mp3";
    WriteMp3(song, Signal{44100, 2, 44100});
    auto holder = std::make_unique<CMediaGraph>();
    EXPECT_SUCCEEDED(holder->BuildDecodeGraph(song.string()));
    ASSERT_TRUE(holder->graph && holder->control && holder->seeking && holder->events);
    std::weak_ptr<IGraphBuilder> firstGraph = holder->graph;
    std::weak_ptr<CBaseFilter> decoder = holder->graph->FindFilterByName("MPEG Layer-3 Decoder");
    ASSERT_FALSE(decoder.expired());

    EXPECT_SUCCEEDED(holder->CreateGraph());
    EXPECT_TRUE(firstGraph.expired());
    EXPECT_TRUE(decoder.expired());
    EXPECT_TRUE(holder->graph->EnumFilters().empty());

    EXPECT_SUCCEEDED(holder->SetNotifyWindow([] {}));
    EXPECT_TRUE(holder->events);
    EXPECT_SUCCEEDED(holder->SetNotifyWindow(nullptr));
    EXPECT_FALSE(holder->events);
    EXPECT_TRUE(holder->control);

    std::weak_ptr<IGraphBuilder> secondGraph = holder->graph;
    holder.reset();
    EXPECT_TRUE(secondGraph.expired());
}

TEST(MediaTypeValue, StartsEmptyAndFreesOnce)
{
    CMediaTypeValue type;
    EXPECT_EQ(type.bFixedSizeSamples, 1);
    EXPECT_EQ(type.lSampleSize, 1u);
    EXPECT_TRUE(type.majortype.IsNull());
    EXPECT_TRUE(type.subtype.IsNull());
    EXPECT_TRUE(type.formattype.IsNull());
    EXPECT_EQ(type.cbFormat, 0u);
    EXPECT_EQ(type.pbFormat, nullptr);
    EXPECT_FALSE(type.pUnk);

    type.SetMajorType(MEDIATYPE_Audio);
    EXPECT_EQ(type.majortype, MEDIATYPE_Audio);
    EXPECT_TRUE(type.subtype.IsNull());

    type.cbFormat = 18;
    type.pbFormat = static_cast<std::uint8_t*>(std::malloc(18));
    auto held = std::make_shared<int>(5);
    type.pUnk = held;
    type.FreeFields();
    EXPECT_EQ(type.cbFormat, 0u);
    EXPECT_EQ(type.pbFormat, nullptr);
    EXPECT_FALSE(type.pUnk);
    EXPECT_EQ(held.use_count(), 1);
    type.FreeFields();
    EXPECT_EQ(type.majortype, MEDIATYPE_Audio);
}
