#include "JoinJob.h"

#include "SourceMeasure.h"
#include "media/filters/FileWriter.h"
#include "media/filters/LameEncoder.h"
#include "media/filters/OutputFile.h"
#include "media/graph/FilterGraph.h"
#include "media/graph/FilterRegistry.h"
#include "media/graph/TimeText.h"
#include "media/render/MediaGraph.h"
#include "media/render/MediaInit.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

JobResult Fail(JobFailure failure, std::string reason)
{
    return JobResult::Fail(failure, std::move(reason));
}

// The file writer at the end of the join graph.
IFileSinkFilter* FindFileSink(const CMediaGraph& graph)
{
    if (!graph.graph)
        return nullptr;
    for (const auto& filter : graph.graph->EnumFilters())
        if (IFileSinkFilter* sink = GetFileSink(filter))
            return sink;
    return nullptr;
}

} // namespace

CJoinJob::CJoinJob(JoinRequest request) : m_request(std::move(request)) {}

CJoinJob::~CJoinJob()
{
    if (m_graph)
        Stop();
}

std::string CJoinJob::OutputPath() const
{
    return fs::absolute(m_request.outputPath).string();
}

void CJoinJob::SetNotify(std::function<void()> notify)
{
    if (m_graph)
        (void)m_graph->SetNotifyWindow(std::move(notify)); // a built graph always takes a callback
}

JobResult CJoinJob::Build()
{
    MediaInitialize();
    const JoinRequest& r = m_request;
    if (r.inputs.empty())
        return Fail(JobFailure::InvalidRequest, "there are no files to join");
    if (!r.durations.empty() && r.durations.size() != r.inputs.size())
        return Fail(JobFailure::InvalidRequest, "every file to join needs its duration");
    const fs::path output = OutputPath();
    if (const auto same = InputSameAsOutput(r.inputs, r.outputPath))
        return Fail(JobFailure::InvalidRequest, "the output " + r.outputPath + " is also an input (" + *same + ")");
    std::error_code ec;
    if (fs::is_directory(fs::status(output, ec)))
        return Fail(JobFailure::InvalidRequest, output.string() + " is a folder");
    m_outputExisted = fs::exists(fs::symlink_status(output, ec));
    if (m_outputExisted && !r.overwrite)
        return Fail(JobFailure::OutputExists, output.string() + " exists and is not to be replaced");
    if (!fs::is_directory(output.parent_path(), ec))
        return Fail(JobFailure::NotFound, "no folder " + output.parent_path().string() + " for the output");

    // Inputs are measured now even when their durations were given: a file
    // that became shorter since (changed, cut off) is refused by name rather
    // than joined with a gap.
    m_durations = r.durations;
    std::vector<std::pair<std::string, SourceIdentity>> sources;
    for (std::size_t i = 0; i < r.inputs.size(); ++i) {
        const std::string& input = r.inputs[i];
        const SourceMeasure measure = MeasureSource(input);
        sources.emplace_back(input, measure.identity);
        const REFERENCE_TIME duration = measure.duration;
        if (duration <= 0 && !measure.Readable())
            return Fail(JobFailure::Unreadable, "cannot read " + input + ": " + measure.error);
        if (r.durations.empty())
            m_durations.push_back(duration);
        else if (duration < m_durations[i])
            return Fail(JobFailure::Unreadable, input + " has changed since it was listed: it lasts "
                                                    + FormatClock(duration) + ", not " + FormatClock(m_durations[i]));
    }

    std::shared_ptr<CBaseFilter> encoder = r.encoder;
    if (!encoder) {
        IAudioEncoderProperties* properties =
            SUCCEEDED(CreateFilter(clsid::LameEncoder, &encoder)) ? GetEncoderProperties(encoder) : nullptr;
        // Sample rate first: the legal bit rates depend on it.
        if (!properties || FAILED(properties->set_SampleRate(r.sampleRate))
            || FAILED(properties->set_Bitrate(r.bitRate)))
            return Fail(JobFailure::InvalidRequest, "the MP3 encoder does not take " + std::to_string(r.bitRate) + " kbps at "
                                          + std::to_string(r.sampleRate) + " Hz");
    }

    std::vector<std::string> inputs;
    for (const std::string& input : r.inputs)
        inputs.push_back(fs::absolute(input).string());
    // What killed runs left in the output's folder goes before this run
    // adds its own.
    m_reclaimed = ReclaimTemporaries(output.parent_path().string());
    m_graph = std::make_unique<CMediaGraph>();
    m_graph->BuildJoinGraph(inputs, output.string(), m_durations, encoder);
    IFileSinkFilter* sink = FindFileSink(*m_graph);
    if (!m_graph->control || !m_graph->events || !sink) {
        const std::string why = m_graph->LastError();
        m_graph.reset();
        return Fail(JobFailure::Failed, "cannot build the join graph" + (why.empty() ? "" : ": " + why));
    }
    // The writer moves the joined file to its name when it is complete,
    // replacing a file there only when asked, and not when an input
    // changed while it was read.
    (void)sink->SetOverwrite(r.overwrite); // a flag, always taken
    sink->SetCommitCheck([sources = std::move(sources)] {
        for (const auto& [path, identity] : sources)
            if (std::string changed = SourceChange(path, identity); !changed.empty())
                return changed;
        return std::string();
    });
    return JobResult::Ok();
}

JobResult CJoinJob::Start()
{
    if (!m_graph)
        return Fail(JobFailure::InvalidRequest, "the join was not built");
    m_stopped = false;
    m_keptOutput = false;
    m_keepFailure.clear();
    // A graph that cannot start queues its abort event with the reason,
    // which ends the first wait.
    (void)m_graph->Run();
    return JobResult::Ok();
}

JobStatus CJoinJob::WaitStep(long timeoutMs)
{
    if (!m_graph)
        return m_stopped ? JobStatus::Stopped : JobStatus::Failed;
    long code = 0;
    const HRESULT hr = m_graph->events->WaitForCompletion(timeoutMs, &code);
    if (hr == VFW_E_WRONG_STATE)
        return JobStatus::Stopped; // stopped and never to end by itself
    if (FAILED(hr))
        return JobStatus::Running;
    return code == EC_COMPLETE ? JobStatus::Completed : code == EC_USERABORT ? JobStatus::Stopped : JobStatus::Failed;
}

REFERENCE_TIME CJoinJob::Duration() const
{
    return m_graph ? m_graph->GetDuration() : 0;
}

REFERENCE_TIME CJoinJob::Position() const
{
    return m_graph ? m_graph->GetCurrentPosition() : 0;
}

double CJoinJob::Progress() const
{
    const REFERENCE_TIME total = Duration();
    return total > 0 ? double(Position()) / double(total) : 0.0;
}

JobResult CJoinJob::Finish(JobStatus status)
{
    const std::string output = OutputPath();
    const bool stopped = m_stopped || status == JobStatus::Stopped;
    if (!m_graph || stopped) {
        Stop();
        if (!stopped)
            return Fail(JobFailure::InvalidRequest, "the join was not built");
        return Fail(JobFailure::Stopped, m_keptOutput ? "the join was stopped; " + output + " holds what was joined so far"
                                                      : "the join was stopped; nothing was written to " + output);
    }
    if (status == JobStatus::Completed) {
        // The writer put the file in place as the stream ended; had it
        // failed to, the join would have ended in an error instead.
        (void)m_graph->Stop(); // a stop always succeeds
        m_graph->ReleaseAll();
        m_graph.reset();
        return JobResult::Ok();
    }
    const std::string reason = m_graph->events->ErrorReason();
    Stop();
    return Fail(JobFailure::Failed, reason.empty() ? "the join failed" : reason);
}

void CJoinJob::Stop(bool keepOutput)
{
    if (!m_graph)
        return;
    m_stopped = true;
    IFileSinkFilter* sink = FindFileSink(*m_graph);
    m_completedBeforeStop = sink && sink->OutputComplete();
    const bool keep = keepOutput && !m_outputExisted && sink;
    if (sink && !keep)
        sink->DiscardOutput();
    // Stopping the graph finishes the MP3: the encoder flushes and writes
    // its info frame, so the part written so far plays with its length.
    (void)m_graph->Stop(); // a stop always succeeds
    if (keep) {
        // Never over a file that appeared in the meantime.
        (void)sink->SetOverwrite(false); // a flag, always taken
        m_keptOutput = SUCCEEDED(sink->KeepOutput());
        if (!m_keptOutput)
            for (const auto& filter : m_graph->graph->EnumFilters())
                if (GetFileSink(filter))
                    m_keepFailure = filter->LastError();
    }
    // The graph and its writer go; a temporary not put in place goes with them.
    m_graph->ReleaseAll();
    m_graph.reset();
}
