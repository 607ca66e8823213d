// The tracks job: every track of the list as a piece of its own, each one a
// CSplitJob, run by worker threads that take the next track in turn.

#include "TracksJob.h"

#include "OutputNaming.h"
#include "SourceMeasure.h"
#include "SplitJob.h"
#include "media/decode/Mp3Layout.h"
#include "media/graph/TimeText.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Whether a piece's failure ends the whole run: everything but what only
// that piece's name, stretch or size is the cause of (a piece too large
// for the file system or the process's file size limit; the next, smaller
// ones may fit).
bool FailureEndsRun(const JobResult& result)
{
    if (result.Failure() == JobFailure::InvalidRequest)
        return false;
    for (const int own : {ENAMETOOLONG, EINVAL, EILSEQ, EISDIR, EFBIG})
        if (result.Reason().find(std::strerror(own)) != std::string::npos)
            return false;
    return true;
}

} // namespace

STrackList TracksFromCuts(std::vector<REFERENCE_TIME> cuts, REFERENCE_TIME duration)
{
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    STrackList list;
    REFERENCE_TIME start = 0;
    for (const REFERENCE_TIME cut : cuts) {
        if (cut <= start || cut >= duration)
            continue;
        list.tracks.push_back({start, cut, {}, {}, {}});
        start = cut;
    }
    if (duration > start)
        list.tracks.push_back({start, duration, {}, {}, {}});
    return list;
}

struct CTracksJob::State {
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<STrackPiece> pieces;
    std::vector<double> pieceShare; // 0..1 of each piece written
    std::vector<std::string> warnings;
    std::function<void()> notify;
    std::string runFailure; // what ended the run
    std::size_t next = 0;   // the next track a worker takes
    int workersLeft = 0;
    bool stop = false;
    bool started = false;
    std::vector<std::thread> workers;

    void Notify()
    {
        if (notify)
            notify();
    }
};

CTracksJob::CTracksJob(TracksRequest request) : m_request(std::move(request)), m_state(std::make_shared<State>()) {}

CTracksJob::~CTracksJob()
{
    Stop();
    for (std::thread& worker : m_state->workers)
        if (worker.joinable())
            worker.join();
}

JobResult CTracksJob::Build()
{
    m_names.clear();
    const TracksRequest& r = m_request;
    const auto& tracks = r.list.tracks;
    if (tracks.empty())
        return JobResult::Fail(JobFailure::InvalidRequest, "there are no tracks to write");
    const SourceMeasure measured = MeasureSource(r.sourcePath);
    if (!measured.Readable())
        return JobResult::Fail(JobFailure::Unreadable, measured.error);
    if (!m_request.sourceIdentity.Known())
        m_request.sourceIdentity = measured.identity;
    for (std::size_t k = 0; k < tracks.size(); ++k) {
        const STrack& t = tracks[k];
        const std::string which = "track " + std::to_string(k + 1);
        if (t.start < 0 || t.end <= t.start)
            return JobResult::Fail(JobFailure::InvalidRequest, which + " (" + FormatClockMs(t.start) + " to "
                                                                    + FormatClockMs(t.end) + ") holds no audio");
        if (k > 0 && t.start < tracks[k - 1].end)
            return JobResult::Fail(JobFailure::InvalidRequest, which + " starts before track " + std::to_string(k)
                                                                    + " ends");
        if (t.start >= measured.duration)
            return JobResult::Fail(JobFailure::InvalidRequest,
                                   which + " starts at " + FormatClockMs(t.start) + ", past the end of "
                                       + r.sourcePath + " (" + FormatClockMs(measured.duration) + ")");
    }
    if (r.format == TracksFormat::Mp3 && (!IsMp3SampleRate(r.sampleRate) || !IsMp3Bitrate(r.bitRate)))
        return JobResult::Fail(JobFailure::InvalidRequest, std::to_string(r.bitRate) + " kbps at "
                                                               + std::to_string(r.sampleRate)
                                                               + " Hz is not a setting of MP3 audio");
    if (std::string reason; !MakeSureDirectoryPathExists(r.outputDir, &reason))
        return JobResult::Fail(JobFailure::NotFound, reason);
    m_mp3Source = SourceIsMpegAudio(r.sourcePath);
    const bool mp3 = Mp3Output();
    const int count = static_cast<int>(tracks.size());
    for (int k = 0; k < count; ++k)
        m_names.push_back(TrackFileName(r.nameTemplate, tracks[std::size_t(k)], k + 1, count, r.sourcePath, mp3));
    std::lock_guard lock(m_state->mutex);
    m_state->pieces.assign(tracks.size(), {});
    m_state->pieceShare.assign(tracks.size(), 0.0);
    for (std::size_t k = 0; k < tracks.size(); ++k) {
        m_state->pieces[k].index = static_cast<int>(k);
        m_state->pieces[k].path = (fs::path(r.outputDir) / m_names[k]).string();
    }
    return JobResult::Ok();
}

std::vector<std::string> CTracksJob::Notes() const
{
    std::vector<std::string> notes = m_request.list.notes;
    if (m_request.format == TracksFormat::Copy && !m_mp3Source)
        notes.push_back("the source is not MP3 audio: the pieces are written as WAV, without loss");
    return notes;
}

void CTracksJob::SetNotify(std::function<void()> notify)
{
    std::lock_guard lock(m_state->mutex);
    m_state->notify = std::move(notify);
}

namespace {

tags::TagEdits TrackTags(const STrackList& list, std::size_t k)
{
    const STrack& t = list.tracks[k];
    tags::TagEdits edits;
    auto set = [&](tags::TagField field, const std::string& value) {
        if (!value.empty())
            edits.push_back({field, value});
    };
    set(tags::TagField::Title, t.title);
    set(tags::TagField::Artist, t.performer.empty() ? list.albumPerformer : t.performer);
    set(tags::TagField::Album, list.albumTitle);
    set(tags::TagField::AlbumArtist, list.albumPerformer);
    set(tags::TagField::Year, list.date);
    set(tags::TagField::Genre, list.genre);
    set(tags::TagField::Track, std::to_string(k + 1) + "/" + std::to_string(list.tracks.size()));
    edits.insert(edits.end(), t.tags.begin(), t.tags.end());
    return edits;
}

} // namespace

void CTracksJob::Run()
{
    State& s = *m_state;
    if (m_names.size() != m_request.list.tracks.size() || m_names.empty())
        return; // not built: WaitStep says Failed
    std::shared_ptr<const Mp3Layout> layout;
    if (m_request.format == TracksFormat::Copy && m_mp3Source) {
        // One reading of the source's frames serves every piece's plan.
        auto read = std::make_shared<Mp3Layout>();
        std::string reason;
        if (ReadMp3Layout(m_request.sourcePath, read.get(), &reason)
            && IdentifySource(m_request.sourcePath) == m_request.sourceIdentity)
            layout = std::move(read);
    }
    const bool copies = m_request.format == TracksFormat::Copy && layout;
    const int workers = copies ? std::clamp(m_request.copiesAtOnce, 1, 8) : 1;
    std::lock_guard lock(s.mutex);
    if (s.started)
        return;
    s.started = true;
    s.workersLeft = workers;
    for (int w = 0; w < workers; ++w)
        s.workers.emplace_back([this, layout] { Work(layout); });
}

void CTracksJob::Work(std::shared_ptr<const Mp3Layout> layout)
{
    State& s = *m_state;
    const TracksRequest& r = m_request;
    const auto& tracks = r.list.tracks;
    for (;;) {
        std::size_t k = 0;
        std::function<void()> notify;
        {
            std::lock_guard lock(s.mutex);
            if (s.stop || !s.runFailure.empty() || s.next >= tracks.size()) {
                if (--s.workersLeft == 0)
                    s.changed.notify_all();
                notify = s.notify;
                if (notify)
                    notify();
                return;
            }
            k = s.next++;
            notify = s.notify;
        }
        SplitPieceRequest piece;
        piece.sourcePath = r.sourcePath;
        piece.outputDir = r.outputDir;
        piece.outputName = m_names[k];
        piece.naming = PieceNaming::Named;
        piece.mp3Output = Mp3Output();
        piece.bitRate = r.bitRate;
        piece.sampleRate = r.sampleRate;
        piece.copy = r.format == TracksFormat::Copy && m_mp3Source ? SplitCopy::WhenPossible : SplitCopy::Never;
        piece.start = tracks[k].start;
        piece.stop = tracks[k].end;
        piece.sourceIdentity = r.sourceIdentity;
        piece.writeTags = r.writeTags;
        piece.tagEdits = TrackTags(r.list, k);
        piece.mp3Layout = layout;

        CSplitJob job(piece);
        job.SetNotify(notify);
        JobResult result = job.Build();
        bool copied = false;
        if (result) {
            copied = job.CopiesFrames();
            job.Run();
            JobStatus status = JobStatus::Running;
            bool stopping = false;
            while (status == JobStatus::Running) {
                status = job.WaitStep(40);
                const double share = job.Progress() / double(kSplitProgressRange);
                std::lock_guard lock(s.mutex);
                s.pieceShare[k] = share;
                if (s.stop && !stopping && status == JobStatus::Running) {
                    stopping = true;
                    job.Stop(false);
                }
            }
            if (stopping && job.OutputComplete())
                status = JobStatus::Completed;
            result = job.Finish(status);
        }
        std::lock_guard lock(s.mutex);
        for (const std::string& line : job.TagWarnings())
            s.warnings.push_back(line);
        if (!job.CopyRefusal().empty() && r.format == TracksFormat::Copy)
            s.warnings.push_back("track " + std::to_string(k + 1) + " is encoded: " + job.CopyRefusal());
        STrackPiece& p = s.pieces[k];
        p.copied = copied;
        if (!job.OutputPath().empty())
            p.path = job.OutputPath();
        if (result) {
            p.written = true;
            s.pieceShare[k] = 1;
        } else if (result.Failure() == JobFailure::Stopped) {
            p.problem = "stopped";
        } else {
            p.problem = result.Reason();
            s.pieceShare[k] = 1;
            if (FailureEndsRun(result) && s.runFailure.empty())
                s.runFailure = "track " + std::to_string(k + 1) + ": " + result.Reason();
        }
        s.changed.notify_all();
        if (s.notify)
            s.notify();
    }
}

JobStatus CTracksJob::WaitStep(long timeoutMs)
{
    State& s = *m_state;
    std::unique_lock lock(s.mutex);
    if (!s.started)
        return JobStatus::Failed;
    s.changed.wait_for(lock, std::chrono::milliseconds(std::max(0L, timeoutMs)), [&] { return s.workersLeft == 0; });
    if (s.workersLeft > 0)
        return JobStatus::Running;
    lock.unlock();
    for (std::thread& worker : s.workers)
        if (worker.joinable())
            worker.join();
    lock.lock();
    if (!s.runFailure.empty())
        return JobStatus::Failed;
    if (s.stop && std::any_of(s.pieces.begin(), s.pieces.end(), [](const STrackPiece& p) { return !p.written; }))
        return JobStatus::Stopped;
    return JobStatus::Completed;
}

STracksProgress CTracksJob::Progress() const
{
    const State& s = *m_state;
    std::lock_guard lock(s.mutex);
    STracksProgress progress;
    progress.pieceCount = static_cast<int>(s.pieces.size());
    REFERENCE_TIME total = 0;
    double done = 0;
    for (std::size_t k = 0; k < s.pieces.size(); ++k) {
        const STrack& t = m_request.list.tracks[k];
        total += t.end - t.start;
        done += s.pieceShare[k] * double(t.end - t.start);
        const bool ended = s.pieces[k].written || !s.pieces[k].problem.empty();
        if (ended)
            ++progress.piecesDone;
        else if (k < s.next && progress.current < 0)
            progress.current = static_cast<int>(k);
    }
    progress.share = total > 0 ? std::clamp(done / double(total), 0.0, 1.0) : 0;
    return progress;
}

void CTracksJob::Stop()
{
    std::lock_guard lock(m_state->mutex);
    m_state->stop = true;
}

JobResult CTracksJob::Finish(JobStatus status)
{
    const State& s = *m_state;
    std::lock_guard lock(s.mutex);
    if (status == JobStatus::Stopped)
        return JobResult::Fail(JobFailure::Stopped, "the job was stopped");
    if (!s.runFailure.empty())
        return JobResult::Fail(JobFailure::Failed, s.runFailure);
    std::size_t failed = 0;
    std::string first;
    for (const STrackPiece& p : s.pieces)
        if (!p.written) {
            if (failed++ == 0)
                first = "track " + std::to_string(p.index + 1) + ": " + (p.problem.empty() ? "not written" : p.problem);
        }
    if (failed > 0)
        return JobResult::Fail(JobFailure::Failed, std::to_string(failed) + " of " + std::to_string(s.pieces.size())
                                                       + " pieces were not written; " + first);
    return JobResult::Ok();
}

std::vector<std::string> CTracksJob::Written() const
{
    std::vector<std::string> written;
    for (const STrackPiece& p : Pieces())
        if (p.written)
            written.push_back(p.path);
    return written;
}

std::vector<STrackPiece> CTracksJob::Pieces() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->pieces;
}

std::vector<STrackPiece> CTracksJob::PieceFailures() const
{
    std::vector<STrackPiece> failed;
    for (const STrackPiece& p : Pieces())
        if (!p.written && !p.problem.empty() && p.problem != "stopped")
            failed.push_back(p);
    return failed;
}

std::vector<std::string> CTracksJob::Warnings() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->warnings;
}

bool SourceGivesMp3Copies(const std::string& sourcePath)
{
    return SourceIsMpegAudio(sourcePath);
}
