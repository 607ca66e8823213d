// Building graphs: filters under names, pins in their fixed order, media
// type negotiation, RenderFile, the registry, the graph description.

#include "media/graph/CFilterGraph.h"
#include "HresultAssertions.h"
#include "CoreTestSink.h"
#include "Fixtures.h"
#include "media/graph/FilterRegistry.h"
#include "media/render/MediaGraph.h"
#include "media/graph/GraphDot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace fixtures;

namespace {

std::shared_ptr<CBaseFilter> Create(const char* clsidText)
{
    std::shared_ptr<CBaseFilter> filter;
    EXPECT_EQ(CreateFilter(clsidText, &filter), S_OK) << clsidText;
    return filter;
}

// The pin, or null when the filter has none there (some tests ask for that).
std::shared_ptr<CPin> Pin(const std::shared_ptr<CBaseFilter>& filter, PIN_DIRECTION dir, int index = 0)
{
    std::shared_ptr<CPin> pin;
    return SUCCEEDED(GetPin(filter, dir, index, &pin)) ? pin : nullptr;
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(Identifiers, ParseAndPrintInThePlatformLayout)
{
    GUID guid;
    ASSERT_EQ(UuidFromString("{73647561-0000-0010-8000-00aa00389b71}", &guid), S_OK);
    EXPECT_EQ(guid, MEDIATYPE_Audio);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(guid.bytes.data()), 4), "auds");
    EXPECT_EQ(GuidToString(guid), "73647561-0000-0010-8000-00AA00389B71");
    EXPECT_EQ(UuidFromString("73647561-0000-0010-8000-00AA00389B7", &guid), E_INVALIDARG);
    EXPECT_EQ(UuidFromString("73647561-0000-0010-8000-00AA00389BXY", &guid), E_INVALIDARG);
    EXPECT_EQ(UuidFromString("7364756100000010800000AA00389B71", &guid), E_INVALIDARG);
}

TEST(Times, RoundToTheNearestSample)
{
    EXPECT_EQ(TimeToFrame(600'000'000, 44100), 2'646'000);
    EXPECT_EQ(TimeToFrame(1'500'000'000, 44100) - TimeToFrame(600'000'000, 44100), 3'969'000);
    EXPECT_EQ(TimeToFrame(113, 44100), 0);  // 0.498 sample
    EXPECT_EQ(TimeToFrame(114, 44100), 1);  // 0.503 sample
    EXPECT_EQ(FrameToTime(1, 44100), 227);  // 226.76 units
    EXPECT_EQ(TimeToFrame(FrameToTime(123457, 11025), 11025), 123457);
    // Hundreds of hours do not overflow.
    EXPECT_EQ(TimeToFrame(400LL * 3600 * kUnitsPerSecond, 192000), 400LL * 3600 * 192000);
}

TEST(Registry, CreatesTheKnownClassesAndRefusesOthers)
{
    std::shared_ptr<CBaseFilter> filter;
    EXPECT_EQ(CreateFilter("{336475d0-942a-11ce-a870-00aa002feab5}", &filter), S_OK);
    ASSERT_TRUE(filter);
    EXPECT_EQ(filter->ClassId(), clsid::MPEG1Splitter);
    EXPECT_EQ(CreateFilter("11111111-2222-3333-4444-555555555555", &filter), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(filter);
    EXPECT_EQ(CreateFilter("not an identifier", &filter), E_INVALIDARG);
    EXPECT_EQ(CreateFilter(clsid::DSoundRender, nullptr), E_POINTER);
}

TEST(Pins, KeepTheirOrderAndDirections)
{
    auto decoder = Create(clsid::Mp3Decoder);
    ASSERT_EQ(decoder->EnumPins().size(), 2u);
    PIN_DIRECTION dir{};
    EXPECT_EQ(decoder->EnumPins()[0]->QueryDirection(&dir), S_OK);
    EXPECT_EQ(dir, PINDIR_INPUT);
    EXPECT_EQ(decoder->EnumPins()[1]->QueryDirection(&dir), S_OK);
    EXPECT_EQ(dir, PINDIR_OUTPUT);
    EXPECT_EQ(decoder->EnumPins()[0]->QueryDirection(nullptr), E_POINTER);
    auto renderer = Create(clsid::DSoundRender);
    ASSERT_EQ(renderer->EnumPins().size(), 1u);
    EXPECT_TRUE(renderer->IsRenderer());
    // The splitter's output appears only once its input knows the stream.
    EXPECT_EQ(Create(clsid::MPEG1Splitter)->EnumPins().size(), 1u);
}

TEST(Names, AreUniqueWithinAGraph)
{
    auto graph = CreateFilterGraph();
    auto first = Create(clsid::DSoundRender);
    auto second = Create(clsid::DSoundRender);
    EXPECT_EQ(graph->AddFilter(first, "Default DirectSound Device"), S_OK);
    EXPECT_EQ(graph->AddFilter(second, "Default DirectSound Device"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(first->QueryFilterInfo(), "Default DirectSound Device");
    EXPECT_NE(second->QueryFilterInfo(), first->QueryFilterInfo());
    EXPECT_EQ(graph->FindFilterByName("Default DirectSound Device"), first);
    EXPECT_EQ(graph->AddFilter(first, "again"), E_INVALIDARG);
    EXPECT_EQ(graph->AddFilter(nullptr, "none"), E_POINTER);
    EXPECT_EQ(graph->RemoveFilter(second), S_OK);
    EXPECT_EQ(second->QueryFilterInfo(), "");
    EXPECT_EQ(graph->EnumFilters().size(), 1u);
}

TEST(Connections, NegotiateTheMediaTypeAlongTheMp3Chain)
{
    TempDir dir;
    const fs::path path = dir / "song.mp3";
    WriteMp3(path, Signal{22050, 1, 22050});
    auto graph = CreateFilterGraph();
    std::shared_ptr<CBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(path.string(), path.string(), &source), S_OK);
    auto splitter = Create(clsid::MPEG1Splitter);
    auto decoder = Create(clsid::Mp3Decoder);
    auto renderer = Create(clsid::DSoundRender);
    EXPECT_SUCCEEDED(graph->AddFilter(splitter, "MPEG-I Stream Splitter"));
    EXPECT_SUCCEEDED(graph->AddFilter(decoder, "MPEG Layer-3 Decoder"));
    EXPECT_SUCCEEDED(graph->AddFilter(renderer, "Default DirectSound Device"));

    // A file's bytes are not something the decoder takes.
    EXPECT_EQ(graph->ConnectDirect(Pin(source, PINDIR_OUTPUT), Pin(decoder, PINDIR_INPUT), nullptr),
              VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_FALSE(graph->LastError().empty());
    // Two outputs, or an input to an output, never join.
    EXPECT_EQ(graph->ConnectDirect(Pin(decoder, PINDIR_INPUT), Pin(source, PINDIR_OUTPUT), nullptr), E_INVALIDARG);

    ASSERT_EQ(graph->ConnectDirect(Pin(source, PINDIR_OUTPUT), Pin(splitter, PINDIR_INPUT), nullptr), S_OK);
    EXPECT_EQ(Pin(splitter, PINDIR_INPUT)->ConnectionMediaType().kind, MediaKind::Stream);
    ASSERT_TRUE(Pin(splitter, PINDIR_OUTPUT));
    EXPECT_EQ(graph->ConnectDirect(Pin(source, PINDIR_OUTPUT), Pin(splitter, PINDIR_INPUT), nullptr),
              VFW_E_ALREADY_CONNECTED);
    ASSERT_EQ(graph->ConnectDirect(Pin(splitter, PINDIR_OUTPUT), Pin(decoder, PINDIR_INPUT), nullptr), S_OK);
    ASSERT_EQ(graph->ConnectDirect(Pin(decoder, PINDIR_OUTPUT), Pin(renderer, PINDIR_INPUT), nullptr), S_OK);
    const MediaType& pcm = Pin(renderer, PINDIR_INPUT)->ConnectionMediaType();
    EXPECT_EQ(pcm.kind, MediaKind::Pcm);
    EXPECT_EQ(pcm.audio, (AudioFormat{22050, 1}));
    EXPECT_EQ(Pin(renderer, PINDIR_INPUT)->ConnectedTo(), Pin(decoder, PINDIR_OUTPUT));

    REFERENCE_TIME duration = 0;
    EXPECT_EQ(graph->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, kUnitsPerSecond);

    EXPECT_EQ(graph->Disconnect(Pin(renderer, PINDIR_INPUT)), S_OK);
    EXPECT_FALSE(Pin(decoder, PINDIR_OUTPUT)->IsConnected());
    EXPECT_EQ(graph->Disconnect(Pin(renderer, PINDIR_INPUT)), S_FALSE);
}

TEST(Connections, SplitterRefusesDataThatIsNotMpegAudio)
{
    TempDir dir;
    const fs::path path = dir / "speech.mp3";
    WriteWav(path, Signal{44100, 2, 44100});
    auto graph = CreateFilterGraph();
    std::shared_ptr<CBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(path.string(), "src", &source), S_OK);
    auto splitter = Create(clsid::MPEG1Splitter);
    EXPECT_SUCCEEDED(graph->AddFilter(splitter, "MPEG-I Stream Splitter"));
    EXPECT_TRUE(FAILED(graph->ConnectDirect(Pin(source, PINDIR_OUTPUT), Pin(splitter, PINDIR_INPUT), nullptr)));
    EXPECT_NE(graph->LastError().find("no MPEG audio"), std::string::npos) << graph->LastError();
    EXPECT_FALSE(Pin(source, PINDIR_OUTPUT)->IsConnected());
    EXPECT_FALSE(Pin(splitter, PINDIR_OUTPUT));
}

TEST(Sources, AMissingFileIsRefusedWithItsName)
{
    auto graph = CreateFilterGraph();
    std::shared_ptr<CBaseFilter> source;
    EXPECT_EQ(graph->AddSourceFilter("/nonexistent/x.mp3", "x", &source), VFW_E_NOT_FOUND_FILE);
    EXPECT_FALSE(source);
    EXPECT_EQ(graph->LastError(), "cannot open /nonexistent/x.mp3: No such file or directory");
    EXPECT_TRUE(graph->EnumFilters().empty());
}

TEST(RenderFile, BuildsSourceAndRendererForASoundFile)
{
    TempDir dir;
    const fs::path path = dir / "take.wav";
    WriteWav(path, Signal{48000, 1, 24000}, WavSample::Pcm24);
    auto graph = CreateFilterGraph();
    ASSERT_EQ(graph->RenderFile(path.string(), nullptr), S_OK);
    const auto filters = graph->EnumFilters();
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0]->QueryFilterInfo(), path.string());
    EXPECT_EQ(filters[1]->QueryFilterInfo(), "Default DirectSound Device");
    EXPECT_TRUE(filters[1]->EnumPins().front()->IsConnected());
    REFERENCE_TIME duration = 0;
    EXPECT_SUCCEEDED(graph->GetDuration(&duration));
    EXPECT_EQ(duration, kUnitsPerSecond / 2);
}

TEST(RenderFile, FailsWithAReasonAndLeavesNothingBehind)
{
    TempDir dir;
    std::ofstream(dir / "notes.wav") << "these are notes, not audio";
    struct Case {
        std::string path;
        HRESULT expected;
        const char* reason;
    };
    const Case cases[] = {
        {(dir / "gone.wav").string(), VFW_E_NOT_FOUND_FILE, "No such file"},
        {(dir / "notes.wav").string(), VFW_E_UNSUPPORTED_STREAM, "not a sound file"},
    };
    for (const Case& c : cases) {
        auto graph = CreateFilterGraph();
        EXPECT_EQ(graph->RenderFile(c.path, nullptr), c.expected);
        EXPECT_NE(graph->LastError().find(c.reason), std::string::npos) << graph->LastError();
        EXPECT_NE(graph->LastError().find(c.path), std::string::npos) << graph->LastError();
        EXPECT_TRUE(graph->EnumFilters().empty());
        REFERENCE_TIME duration = 0;
        EXPECT_TRUE(FAILED(graph->GetDuration(&duration)));
    }
}

TEST(GraphDescription, NamesFiltersPinsAndFormats)
{
    TempDir dir;
    const fs::path song = dir / "So \"quoted\" {song}.mp3";
    WriteMp3(song, Signal{44100, 2, 44100});
    CMediaGraph holder;
    ASSERT_EQ(holder.BuildDecodeGraph(song.string()), S_OK);
    auto graph = std::dynamic_pointer_cast<CFilterGraph>(holder.graph);
    ASSERT_TRUE(graph);
    const fs::path dot = dir / "a.dot";
    ASSERT_EQ(SaveGraphAsDot(*graph, dot.string()), S_OK);
    const std::string text = ReadText(dot);
    EXPECT_EQ(text.rfind("digraph", 0), 0u);
    EXPECT_NE(text.find("MPEG-I Stream Splitter"), std::string::npos);
    EXPECT_NE(text.find("MPEG Layer-3 Decoder"), std::string::npos);
    EXPECT_NE(text.find("Default DirectSound Device"), std::string::npos);
    EXPECT_NE(text.find(clsid::Mp3Decoder), std::string::npos);
    EXPECT_NE(text.find("XForm Out"), std::string::npos);
    EXPECT_NE(text.find("PCM float, 44100 Hz, 2 ch"), std::string::npos);
    EXPECT_NE(text.find("MPEG-1 Layer III"), std::string::npos);
    EXPECT_NE(text.find("\\\"quoted\\\" \\{song\\}"), std::string::npos) << text;
    // Three connections.
    std::size_t edges = 0;
    for (std::size_t at = text.find("->"); at != std::string::npos; at = text.find("->", at + 2))
        ++edges;
    EXPECT_EQ(edges, 3u);
    // A folder that cannot be written fails without leaving anything.
    EXPECT_EQ(SaveGraphAsDot(*graph, (dir / "no" / "a.dot").string()), E_FAIL);
}

TEST(GraphDescription, DefaultPathIsInTheUsersCacheFolder)
{
    TempDir dir;
    const char* saved = std::getenv("XDG_CACHE_HOME");
    const std::string previous = saved ? saved : "";
    setenv("XDG_CACHE_HOME", (dir.Path() / "cache").c_str(), 1);
    const std::string path = DefaultGraphDotPath();
    if (saved)
        setenv("XDG_CACHE_HOME", previous.c_str(), 1);
    else
        unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(path, (dir.Path() / "cache" / "tarnwick" / "a.dot").string());
    EXPECT_TRUE(fs::is_directory(dir.Path() / "cache" / "tarnwick"));
}
