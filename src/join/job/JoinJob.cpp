#include "JoinJob.h"

#include "OutputTagging.h"
#include "OutputTags.h"
#include "SourceMeasure.h"
#include "TagFiles.h"
#include "media/filters/FileWriter.h"
#include "media/filters/LameEncoder.h"
#include "media/filters/OutputFile.h"
#include "media/graph/FilterGraph.h"
#include "media/graph/FilterRegistry.h"
#include "media/graph/TimeText.h"
#include "media/pcm/PcmStages.h"
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

// Rounded to the nearest millisecond.
std::int64_t FramesToMs(std::int64_t frames, int sampleRate)
{
    return sampleRate > 0 ? (frames * 1000 + sampleRate / 2) / sampleRate : 0;
}

} // namespace

MergeTagPreview PreviewMergeTags(const std::vector<std::string>& inputs)
{
    MergeTagPreview preview;
    std::vector<tags::MergeInput> read;
    for (const std::string& input : inputs) {
        tags::SourceTags source = tags::ReadSourceTags(input);
        if (!source.problem.empty())
            preview.problems.push_back(tags::TagProblemText(input, source.problem));
        if (!source.tags.Pictures().empty())
            preview.inputsWithPictures.push_back(input);
        read.push_back({input, std::move(source), 0, 0});
    }
    tags::MergeTagChoices choices;
    choices.chapters = false;
    tags::CTagSet merged;
    std::string unused;
    // The first input's cover cannot fail to be had: it is there or not.
    (void)tags::MergedTags(read, choices, std::string(), &merged, &unused);
    for (tags::TagField field : {tags::TagField::Title, tags::TagField::Artist, tags::TagField::Album,
                                 tags::TagField::AlbumArtist, tags::TagField::Year, tags::TagField::Genre})
        preview.fields.emplace_back(field, merged.Get(field));
    preview.cover = merged.Cover();
    return preview;
}

bool ReadCoverChoice(const tags::CoverChoice& choice, std::optional<tags::TagPicture>* picture, std::string* reason)
{
    picture->reset();
    if (choice.from == tags::CoverChoice::From::PictureFile) {
        tags::TagPicture read;
        if (!tags::ReadPictureFile(choice.path, &read, reason))
            return false;
        *picture = std::move(read);
    } else if (choice.from == tags::CoverChoice::From::Input) {
        *picture = tags::ReadSourceTags(choice.path).tags.Cover();
        if (!*picture) {
            *reason = choice.path + " holds no picture to take as the cover";
            return false;
        }
    }
    return true;
}

CJoinJob::CJoinJob(JoinRequest request) : m_request(std::move(request)), m_tagNotes(std::make_shared<CTagNotes>()) {}

std::vector<std::string> CJoinJob::TagWarnings() const
{
    return m_tagNotes->Lines();
}

bool CJoinJob::PrepareTags(const std::shared_ptr<CBaseFilter>& encoder, const std::vector<int>& sampleRates,
                           std::string* reason)
{
    const JoinRequest& r = m_request;
    m_chapters.clear();
    // Input k starts at the sum of the earlier inputs' lengths in the merged
    // file's samples: each input's exact sample count, converted to the
    // output's rate as the render engine converts it.
    std::int32_t rate = 0;
    if (IAudioEncoderProperties* properties = GetEncoderProperties(encoder))
        rate = properties->EffectiveSampleRate();
    if (rate <= 0)
        rate = r.sampleRate;
    std::vector<tags::MergeInput> inputs;
    std::int64_t start = 0;
    for (std::size_t i = 0; i < r.inputs.size(); ++i) {
        const std::int64_t frames = ConvertedLength(TimeToFrame(m_durations[i], sampleRates[i]), sampleRates[i], rate);
        tags::MergeInput input{r.inputs[i], {}, FramesToMs(start, rate), FramesToMs(start + frames, rate)};
        if (r.tags.write) {
            input.tags = tags::ReadSourceTags(r.inputs[i]);
            if (!input.tags.problem.empty())
                m_tagNotes->Add(tags::TagProblemText(r.inputs[i], input.tags.problem)
                                + "; the merged file is written without them");
        }
        m_chapters.push_back({input.startMs, input.endMs, tags::ChapterTitleOf(input)});
        inputs.push_back(std::move(input));
        start += frames;
    }
    tags::CTagSet merged;
    if (!tags::MergedTags(inputs, r.tags, OutputPath(), &merged, reason))
        return false;
    IFileSinkFilter* sink = FindFileSink(*m_graph);
    if (!sink || FAILED(sink->SetLeadingBytes(tags::RenderId3v2(merged)))) {
        *reason = "cannot give the tags to the writer of " + OutputPath();
        return false;
    }
    sink->SetFinishStep(TagFinishStep(std::move(merged), TaggedOutput::Mp3, m_tagNotes));
    return true;
}

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
    std::vector<int> sampleRates;
    for (std::size_t i = 0; i < r.inputs.size(); ++i) {
        const std::string& input = r.inputs[i];
        const SourceMeasure measure = MeasureSource(input);
        sources.emplace_back(input, measure.identity);
        sampleRates.push_back(measure.sampleRate);
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
    m_tagNotes = std::make_shared<CTagNotes>();
    if (std::string reason; !PrepareTags(encoder, sampleRates, &reason)) {
        m_graph.reset();
        return Fail(JobFailure::InvalidRequest, reason);
    }
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
