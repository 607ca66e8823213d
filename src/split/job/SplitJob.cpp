// One piece of a split: the graph of the stretch [start, stop) of the source
// (timeline -> render engine -> "Lame" -> "Dest") or the copy of its frames,
// its progress, and how it ends.

#include "SplitJob.h"

#include "Mp3CopyPlan.h"
#include "Mp3PieceWriter.h"
#include "OutputNaming.h"
#include "OutputTagging.h"
#include "OutputTags.h"
#include "TagFiles.h"

#include "media/filters/FileWriter.h"
#include "media/filters/LameEncoder.h"
#include "media/filters/OutputFile.h"
#include "media/filters/WavWriter.h"
#include "media/graph/CFilterGraph.h"
#include "media/graph/FilterRegistry.h"
#include "media/graph/GraphDot.h"
#include "media/decode/SourceKind.h"
#include "media/graph/TimeText.h"
#include "media/render/AudioTimeline.h"
#include "media/render/MediaInit.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

JobResult Fail(JobFailure failure, std::string reason)
{
    return JobResult::Fail(failure, std::move(reason));
}

} // namespace

bool SourceIsMpegAudio(const std::string& path)
{
    return DetectSourceKind(path) == SourceKind::MpegAudio;
}

std::int32_t PredictedOutputSize(std::int32_t bytesPerSecond, REFERENCE_TIME length)
{
    const double bytes = static_cast<double>(bytesPerSecond) * static_cast<double>(length) * 1e-7;
    if (bytes >= 2147483647.0)
        return 2147483647; // past what 32 bits hold: the bar simply fills late
    return static_cast<std::int32_t>(bytes);
}

CSplitJob::CSplitJob(SplitPieceRequest request)
    : m_request(std::move(request)), m_tagNotes(std::make_shared<CTagNotes>()),
      m_pieceTags(std::make_unique<tags::CTagSet>())
{
}

std::vector<std::string> CSplitJob::TagWarnings() const
{
    return m_tagNotes->Lines();
}

void CSplitJob::ReadTags(REFERENCE_TIME stop)
{
    const SplitPieceRequest& r = m_request;
    *m_pieceTags = tags::CTagSet();
    m_pieceId3v1 = false;
    if (!r.writeTags)
        return;
    // A source whose tags cannot be read still gives its audio.
    const tags::SourceTags source = tags::ReadSourceTags(r.sourcePath);
    if (!source.problem.empty())
        m_tagNotes->Add(tags::TagProblemText(r.sourcePath, source.problem) + "; the piece is written without them");
    *m_pieceTags = tags::PieceTags(source, TimeToMs(r.start), TimeToMs(stop), r.tagEdits);
    m_pieceId3v1 = source.hadId3v1;
}

CSplitJob::~CSplitJob()
{
    // Going away before the piece completed: it is not a finished piece.
    if ((m_graph || m_copy) && !m_finished && !m_userStopped)
        Stop(false);
}

namespace {

NumberedName WriterNaming(PieceNaming naming)
{
    return naming == PieceNaming::Named ? NumberedName::Suffix : NumberedName::Prefix;
}

} // namespace

JobResult CSplitJob::NameOutput()
{
    const SplitPieceRequest& r = m_request;
    std::string reason;
    if (!MakeSureDirectoryPathExists(r.outputDir, &reason))
        return Fail(JobFailure::NotFound, reason);
    // What killed runs left here goes before this run adds its own.
    m_reclaimed = ReclaimTemporaries(r.outputDir);
    m_outputDir = r.outputDir;
    m_outputName = r.naming == PieceNaming::Numbered ? FitOutputName(r.outputName, r.mp3Output) : r.outputName;
    m_outputNumber = FindFreeOutputNumber(m_outputDir, m_outputName, r.pieceIndex, WriterNaming(r.naming));
    m_outputPath = NumberedOutputPath(m_outputDir, m_outputName, m_outputNumber, WriterNaming(r.naming));
    return JobResult::Ok();
}

void CSplitJob::UpdateOutputPath()
{
    if (m_copy) {
        m_outputPath = m_copy->OutputPath();
        return;
    }
    std::string path;
    if (IFileSinkFilter* sink = GetFileSink(m_writer); sink && SUCCEEDED(sink->GetCurFile(&path)) && !path.empty())
        m_outputPath = path;
}

bool CSplitJob::BuildCopy(std::string* reason, bool* changed)
{
    const SplitPieceRequest& r = m_request;
    Mp3CopyPlan plan;
    // The plan is made from the descriptor the copy will read.
    long long size = 0;
    UniqueFd source;
    if (!r.mp3Output) {
        *reason = "the piece is written as WAV";
    } else {
        source = OpenForReading(r.sourcePath, reason, &size);
        if (source && IdentifySource(source.Get()) != m_source) {
            *reason = SourceChange(r.sourcePath, {});
            *changed = true;
            return false;
        }
        if (source && r.mp3Layout && r.mp3Layout->fileSize == size) {
            if (PlanMp3CopyFromLayout(*r.mp3Layout, source.Get(), size, r.sourcePath, r.start, r.stop, &plan, reason))
                reason->clear();
        } else if (source && PlanMp3Copy(source.Get(), size, r.sourcePath, r.start, r.stop, &plan, reason)) {
            reason->clear();
        }
    }
    if (!reason->empty()) {
        *reason = "the frames of " + r.sourcePath + " cannot be copied (" + *reason + ")";
        return false;
    }
    // The piece ends where the plan found the source's end, if before the stop.
    ReadTags(r.start + FrameToTime(plan.lengthSamples, plan.sampleRate));
    m_copy = std::make_unique<CMp3PieceWriter>(std::move(plan), std::move(source));
    m_copy->SetTags(tags::RenderId3v2(*m_pieceTags), m_pieceId3v1 ? tags::RenderId3v1(*m_pieceTags) : std::string());
    m_predictedSize = static_cast<std::int32_t>(std::min<std::int64_t>(m_copy->TotalBytes(), INT32_MAX));
    return true;
}

JobResult CSplitJob::Build()
{
    m_graph.reset();
    m_writer.reset();
    m_copy.reset();
    m_copiesFrames = false;
    m_copyRefusal.clear();
    m_reclaimed.clear();
    m_tagNotes = std::make_shared<CTagNotes>();
    m_finished = m_userStopped = false;
    MediaInitialize();
    const SplitPieceRequest& r = m_request;
    if (r.start < 0 || r.stop <= r.start)
        return Fail(JobFailure::InvalidRequest, "the piece from " + FormatClock(r.start) + " to " + FormatClock(r.stop)
                                      + " holds no audio");
    // The source as the caller measured it, or as it is now: checked again
    // before the piece gets its name.
    m_source = r.sourceIdentity.Known() ? r.sourceIdentity : IdentifySource(r.sourcePath);
    if (r.sourceIdentity.Known())
        if (std::string changed = SourceChange(r.sourcePath, m_source); !changed.empty())
            return Fail(JobFailure::Failed, changed);
    auto sourceCheck = [path = r.sourcePath, identity = m_source] { return SourceChange(path, identity); };
    if (r.copy != SplitCopy::Never) {
        m_length = r.stop - r.start + 1;
        m_effectiveBitRate = 0;
        std::string why;
        bool changed = false;
        if (BuildCopy(&why, &changed)) {
            m_copiesFrames = true;
            JobResult named = NameOutput();
            if (named)
                m_copy->SetOutput(m_outputDir, m_outputName, m_outputNumber, sourceCheck, WriterNaming(r.naming));
            return named;
        }
        if (changed || r.copy == SplitCopy::Required)
            return Fail(changed ? JobFailure::Failed : JobFailure::Unreadable, why);
        m_copyRefusal = why;
    }
    if (r.mp3Output && !IsMp3SampleRate(r.sampleRate))
        return Fail(JobFailure::InvalidRequest, std::to_string(r.sampleRate) + " Hz is not a sample rate of MP3 audio");
    if (r.mp3Output && !IsMp3Bitrate(r.bitRate))
        return Fail(JobFailure::InvalidRequest, std::to_string(r.bitRate) + " kbps is not a bit rate of MP3 audio");

    // 1-8. The timeline of the one source, the piece starting at time 0 of
    // the output; a missing or unreadable source ends the job here, named.
    const REFERENCE_TIME start = r.start;
    const REFERENCE_TIME stop = r.stop;
    m_length = stop - start + 1;
    AudioTimeline timeline;
    std::string reason;
    if (FAILED(BuildAudioTimeline({{r.sourcePath, start, stop, 0, m_length - 1}}, &timeline, &reason)))
        return Fail(JobFailure::Unreadable, reason);
    ReadTags(stop);
    // 11. The encoding stage and the writer.
    std::shared_ptr<CBaseFilter> stage, writer;
    m_predictedSize = 0;
    m_effectiveBitRate = 0;
    if (r.mp3Output) {
        IAudioEncoderProperties* properties =
            SUCCEEDED(CreateFilter(clsid::LameEncoder, &stage)) ? GetEncoderProperties(stage) : nullptr;
        if (!properties)
            return Fail(JobFailure::Unavailable, "the MP3 encoder is not available");
        // Sample rate first: the legal bit rates depend on it.
        if (FAILED(properties->set_SampleRate(r.sampleRate)) || FAILED(properties->set_Bitrate(r.bitRate)))
            return Fail(JobFailure::InvalidRequest, "the MP3 encoder does not take " + std::to_string(r.bitRate)
                                                        + " kbps at " + std::to_string(r.sampleRate) + " Hz");
        m_effectiveBitRate = properties->EffectiveBitrate();
        // Predicted from the rate really written, so that the bar fills
        // when the piece is done even where LAME lowered the bit rate.
        m_predictedSize = PredictedOutputSize(Mp3BytesPerSecond(m_effectiveBitRate), m_length);
        if (FAILED(CreateFilter(clsid::RawFileWriter, &writer)))
            writer.reset();
    } else if (FAILED(CreateFilter(clsid::WavWriter, &stage)) || FAILED(CreateFilter(clsid::FileWriter, &writer))) {
        writer.reset();
    }
    if (!stage || !writer)
        return Fail(JobFailure::Unavailable, "the encoding or writing filter is not available");
    IFileSinkFilter* sink = GetFileSink(writer);
    // 13. The output folder and the first free numbered name in it.
    if (JobResult named = NameOutput(); !named)
        return named;
    // 15. (The labels of step 14 are the caller's.) The writer takes the
    // number that is free when the piece is complete.
    if (!sink || FAILED(sink->SetNumberedFileName(m_outputDir, m_outputName, m_outputNumber, WriterNaming(r.naming))))
        return Fail(JobFailure::Failed, "cannot name the output " + m_outputPath);
    sink->SetCommitCheck(sourceCheck);
    // An MP3 piece opens with its ID3v2 tag and ends with ID3v1 where the
    // source did; a WAV piece gets its tags when it is complete.
    if (r.mp3Output
        && (FAILED(sink->SetLeadingBytes(tags::RenderId3v2(*m_pieceTags)))
            || FAILED(sink->SetTrailingBytes(m_pieceId3v1 ? tags::RenderId3v1(*m_pieceTags) : std::string()))))
        return Fail(JobFailure::Failed, "cannot give the tags to the writer of " + m_outputPath);
    sink->SetFinishStep(TagFinishStep(*m_pieceTags, r.mp3Output ? TaggedOutput::Mp3 : TaggedOutput::Wav, m_tagNotes));
    // A WAV piece whose data passes 4 GiB is RF64 from its first byte.
    if (IWavWriterSettings* wav = GetWavWriterSettings(stage))
        wav->SetExpectedDuration(m_length);
    // 9, 10, 12, 16. The render engine's graph, group output -> encoding
    // stage -> writer. Writing WAV leaves a core free for decoding.
    std::shared_ptr<CRenderEngine> engine;
    std::shared_ptr<CFilterGraph> graph;
    if (FAILED(RenderAudioTimeline(timeline.timeline, stage, writer, !r.mp3Output, &engine, &graph, &reason)))
        return Fail(JobFailure::Failed, reason);
    // 17. The graph's description; a failure to write it is no failure of the job.
    const std::string dotPath = r.graphDotPath.empty() ? DefaultGraphDotPath() : r.graphDotPath;
    std::error_code ec;
    fs::create_directories(fs::path(dotPath).parent_path(), ec);
    (void)SaveGraphAsDot(*graph, dotPath);
    // 18. The facets come from the graph; running it is the caller's.
    m_graph = std::move(graph);
    m_writer = std::move(writer);
    return JobResult::Ok();
}

void CSplitJob::Run()
{
    if (m_copy)
        m_copy->Start(m_notify);
    else if (m_graph)
        (void)m_graph->Run(); // a graph that cannot start has queued its abort event, which ends the wait
}

void CSplitJob::SetNotify(std::function<void()> notify)
{
    m_notify = std::move(notify);
    if (m_graph)
        (void)m_graph->SetNotifyWindow(m_notify); // a graph always takes a callback
}

JobStatus CSplitJob::WaitStep(long timeoutMs)
{
    if (m_copy)
        return m_copy->Wait(timeoutMs);
    if (!m_graph)
        return JobStatus::Failed;
    long code = 0;
    const HRESULT hr = m_graph->WaitForCompletion(timeoutMs, &code);
    if (hr == VFW_E_WRONG_STATE)
        return JobStatus::Stopped; // stopped and never to end by itself
    if (FAILED(hr))
        return JobStatus::Running;
    return code == EC_COMPLETE ? JobStatus::Completed : code == EC_USERABORT ? JobStatus::Stopped : JobStatus::Failed;
}

int CSplitJob::Progress() const
{
    if (m_copy) {
        const std::int64_t total = std::max<std::int64_t>(1, m_copy->TotalBytes());
        m_lastProgress = static_cast<int>(m_copy->BytesWritten() * kSplitProgressRange / total);
        return m_lastProgress;
    }
    if (!m_graph)
        return m_finished ? kSplitProgressRange : 0;
    std::int64_t value = m_lastProgress;
    if (m_request.mp3Output) {
        IFileSinkFilter* sink = GetFileSink(m_writer);
        if (sink && m_predictedSize != 0)
            value = static_cast<std::int64_t>(sink->BytesWritten()) * kSplitProgressRange / m_predictedSize;
    } else if (m_length != 0) {
        REFERENCE_TIME position = 0;
        if (SUCCEEDED(m_graph->GetCurrentPosition(&position)))
            value = position * kSplitProgressRange / m_length;
    }
    m_lastProgress = static_cast<int>(std::clamp<std::int64_t>(value, 0, kSplitProgressRange));
    return m_lastProgress;
}

JobResult CSplitJob::Finish(JobStatus status)
{
    JobResult result;
    if (status == JobStatus::Completed) {
        m_finished = true;
        m_lastProgress = kSplitProgressRange;
    } else if (status == JobStatus::Stopped) {
        result = Fail(JobFailure::Stopped, "the job was stopped");
    } else {
        const std::string why = m_copy ? m_copy->Error() : m_graph ? m_graph->ErrorReason() : std::string();
        result = Fail(JobFailure::Failed, why.empty() ? "the job failed" : why);
    }
    if (m_copy) {
        if (!m_finished)
            m_copy->Cancel(); // the writer has removed its partial file
        UpdateOutputPath();
        m_copy.reset();
        return result;
    }
    // The graph and its filters go; a failed piece was removed by its writer.
    if (m_graph && !m_finished && !m_userStopped)
        Stop(false);
    UpdateOutputPath();
    m_writer.reset();
    m_graph.reset();
    return result;
}

bool CSplitJob::OutputComplete() const
{
    if (m_copy)
        return m_copy->Status() == JobStatus::Completed;
    const IFileSinkFilter* sink = GetFileSink(m_writer);
    return m_finished || (sink && sink->OutputComplete());
}

void CSplitJob::Stop(bool keepOutput)
{
    if (m_copy) {
        m_copy->Cancel();
        return;
    }
    if (!m_graph)
        return;
    IFileSinkFilter* sink = GetFileSink(m_writer);
    if (!keepOutput) {
        if (sink)
            sink->DiscardOutput();
    } else {
        m_userStopped = true;
    }
    (void)m_graph->Stop(); // a stop always succeeds
    // Every filter has finished its data: what was written gets its name.
    if (keepOutput && sink && SUCCEEDED(sink->KeepOutput()))
        UpdateOutputPath();
}
