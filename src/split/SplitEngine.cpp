// One piece of a split: the graph of the stretch [start, stop) of the source
// (timeline -> render engine -> "Lame" -> "Dest"), its progress, and how it
// ends.

#include "SplitEngine.h"

#include "media/graph/CFilterGraph.h"
#include "media/filters/CaptureGraphBuilder.h"
#include "media/filters/FileWriter.h"
#include "media/graph/FilterRegistry.h"
#include "media/filters/LameEncoder.h"
#include "media/render/MediaGraph.h"
#include "media/render/RenderEngine.h"
#include "media/render/Timeline.h"
#include "media/graph/GraphDot.h"
#include "media/graph/MediaTypeValue.h"
#include "media/graph/TimeText.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

CSplitJob::CSplitJob(SplitPieceRequest request) : m_request(std::move(request)) {}

CSplitJob::~CSplitJob()
{
    // Going away before the piece completed: it is not a finished piece.
    if (m_graph && !m_finished && !m_userStopped)
        Stop(false);
}

HRESULT CSplitJob::Fail(HRESULT hr, std::string reason)
{
    m_lastError = std::move(reason);
    return hr;
}

std::shared_ptr<IMediaControl> CSplitJob::Control() const { return m_graph; }
std::shared_ptr<IMediaEvent> CSplitJob::Events() const { return m_graph; }
std::shared_ptr<IMediaSeeking> CSplitJob::Seeking() const { return m_graph; }

HRESULT CSplitJob::Build()
{
    m_graph.reset();
    m_writer.reset();
    m_finished = m_userStopped = false;
    m_lastError.clear();
    const SplitPieceRequest& r = m_request;
    if (r.start < 0 || r.stop <= r.start)
        return Fail(E_INVALIDARG, "the piece from " + FormatClock(r.start) + " to " + FormatClock(r.stop)
                                      + " holds no audio");
    if (r.mp3Output && !IsMp3SampleRate(r.sampleRate))
        return Fail(E_INVALIDARG, std::to_string(r.sampleRate) + " Hz is not a sample rate of MP3 audio");
    if (r.mp3Output && (r.bitRate < 8 || r.bitRate > 320))
        return Fail(E_INVALIDARG, std::to_string(r.bitRate) + " kbps is not a bit rate of MP3 audio");

    // 1. Timeline.
    auto timeline = std::make_shared<CAMTimeline>();
    // 2. Its audio group.
    std::shared_ptr<CAMTimelineObj> group;
    timeline->CreateEmptyNode(&group, TIMELINE_MAJOR_TYPE_GROUP);
    CMediaTypeValue mediaType;
    mediaType.SetMajorType(MEDIATYPE_Audio);
    if (auto settings = std::dynamic_pointer_cast<IAMTimelineGroup>(group))
        settings->SetMediaType(&mediaType);
    timeline->AddGroup(group);
    // 3. Track.
    std::shared_ptr<CAMTimelineObj> track;
    timeline->CreateEmptyNode(&track, TIMELINE_MAJOR_TYPE_TRACK);
    if (auto composition = std::dynamic_pointer_cast<IAMTimelineComp>(group))
        composition->VTrackInsBefore(track, -1);
    // 4. Source.
    std::shared_ptr<CAMTimelineObj> source;
    timeline->CreateEmptyNode(&source, TIMELINE_MAJOR_TYPE_SOURCE);
    // 5. Times.
    const REFERENCE_TIME start = r.start;
    const REFERENCE_TIME stop = r.stop;
    m_length = stop - start + 1;
    // 6. The piece starts at time 0 of the output.
    if (auto src = std::dynamic_pointer_cast<IAMTimelineSrc>(source)) {
        src->SetMediaName(r.sourcePath);
        source->SetStartStop(0, m_length - 1);
        src->SetMediaTimes(start, stop);
    }
    // 7.
    if (auto trackSources = std::dynamic_pointer_cast<IAMTimelineTrack>(track))
        trackSources->SrcAdd(source);
    // 8. A missing or unreadable source ends the job here, named.
    if (HRESULT hr = timeline->ValidateSourceNames(SFN_VALIDATEF_CHECK | SFN_VALIDATEF_POPUP
                                                       | SFN_VALIDATEF_REPLACE, nullptr, 0);
        FAILED(hr))
        return Fail(hr, timeline->LastError());
    // 9. Render engine and its graph.
    CRenderEngine engine;
    engine.SetParallelDecode(!r.mp3Output); // writing WAV leaves a core free for decoding
    engine.SetTimelineObject(timeline);
    if (HRESULT hr = engine.ConnectFrontEnd(); FAILED(hr))
        return Fail(hr, engine.LastError());
    std::shared_ptr<CFilterGraph> graph;
    engine.GetFilterGraph(&graph);
    // 10. Builder.
    CCaptureGraphBuilder2 builder;
    builder.SetFiltergraph(graph);
    // 11. The encoding stage and the writer.
    std::shared_ptr<CBaseFilter> stage, writer;
    m_predictedSize = 0;
    m_effectiveBitRate = 0;
    if (r.mp3Output) {
        CreateFilter(clsid::LameEncoder, &stage);
        IAudioEncoderProperties* properties = GetEncoderProperties(stage);
        if (!properties)
            return Fail(REGDB_E_CLASSNOTREG, "the MP3 encoder is not available");
        // Sample rate first: the legal bit rates depend on it.
        properties->set_SampleRate(r.sampleRate);
        properties->set_Bitrate(r.bitRate);
        m_effectiveBitRate = properties->EffectiveBitrate();
        // Predicted from the rate really written, so that the bar fills
        // when the piece is done even where LAME lowered the bit rate.
        const std::int32_t bytesPerSecond = m_effectiveBitRate * 1000 / 8;
        m_predictedSize = PredictedOutputSize(bytesPerSecond, m_length);
        CreateFilter(clsid::RawFileWriter, &writer);
    } else {
        CreateFilter(clsid::WavWriter, &stage);
        CreateFilter(clsid::FileWriter, &writer);
    }
    if (!stage || !writer)
        return Fail(REGDB_E_CLASSNOTREG, "the encoding or writing filter is not available");
    // 12.
    graph->AddFilter(stage, "Lame");
    graph->AddFilter(writer, "Dest");
    IFileSinkFilter* sink = GetFileSink(writer);
    // 13. The output folder and the first free numbered name in it.
    std::string reason;
    if (!MakeSureDirectoryPathExists(r.outputDir, &reason))
        return Fail(VFW_E_NOT_FOUND_FILE, reason);
    m_outputPath = FindFreeOutputPath(r.outputDir, FitOutputName(r.outputName, r.mp3Output), r.pieceIndex);
    // 15. (The labels of step 14 are the caller's.)
    if (!sink || FAILED(sink->SetFileName(m_outputPath, nullptr)))
        return Fail(E_FAIL, "cannot name the output " + m_outputPath);
    // 16. Group output -> encoding stage -> writer.
    std::shared_ptr<CPin> pin;
    if (engine.GetGroupOutputPin(0, &pin) != S_OK)
        return Fail(VFW_E_CANNOT_RENDER, "the timeline has no audio output");
    if (HRESULT hr = builder.RenderStream(nullptr, nullptr, pin, stage, writer); FAILED(hr))
        return Fail(hr, builder.LastError());
    // 17. The graph's description; a failure to write it is no failure of the job.
    const std::string dotPath = r.graphDotPath.empty() ? DefaultGraphDotPath() : r.graphDotPath;
    std::error_code ec;
    fs::create_directories(fs::path(dotPath).parent_path(), ec);
    SaveGraphAsDot(*graph, dotPath);
    // 18. The facets come from the graph; running it is the caller's.
    m_graph = std::move(graph);
    m_writer = std::move(writer);
    return S_OK;
}

long CSplitJob::WaitStep(long timeoutMs)
{
    if (!m_graph)
        return EC_ERRORABORT;
    long code = 0;
    const HRESULT hr = m_graph->WaitForCompletion(timeoutMs, &code);
    if (hr == VFW_E_WRONG_STATE)
        return EC_USERABORT; // stopped and never to end by itself
    return SUCCEEDED(hr) ? code : 0;
}

int CSplitJob::Progress() const
{
    if (!m_graph)
        return m_finished ? 200 : 0;
    std::int64_t value = m_lastProgress;
    if (m_request.mp3Output) {
        std::error_code ec;
        const auto size = fs::file_size(m_outputPath, ec);
        if (!ec && m_predictedSize != 0) // no file yet: the bar stays where it was
            value = static_cast<std::int64_t>(size) * 200 / m_predictedSize;
    } else if (m_length != 0) {
        REFERENCE_TIME position = 0;
        if (SUCCEEDED(m_graph->GetCurrentPosition(&position)))
            value = position * 200 / m_length;
    }
    m_lastProgress = static_cast<int>(std::clamp<std::int64_t>(value, 0, 200));
    return m_lastProgress;
}

HRESULT CSplitJob::Finish(long code)
{
    HRESULT hr = S_OK;
    if (code == EC_COMPLETE) {
        m_finished = true;
        m_lastProgress = 200;
    } else if (code == EC_USERABORT) {
        hr = Fail(E_ABORT, "the job was stopped");
    } else {
        const std::string why = m_graph ? m_graph->ErrorReason() : std::string();
        hr = Fail(E_FAIL, why.empty() ? "the job failed" : why);
    }
    // The graph and its filters go; a failed piece was removed by its writer.
    if (m_graph && !m_finished && !m_userStopped)
        Stop(false);
    m_writer.reset();
    m_graph.reset();
    return hr;
}

void CSplitJob::Stop(bool keepOutput)
{
    if (!m_graph)
        return;
    if (!keepOutput) {
        if (IFileSinkFilter* sink = GetFileSink(m_writer))
            sink->DiscardOutput();
    } else {
        m_userStopped = true;
    }
    m_graph->Stop();
}
