#include "TracksEngine.h"

#include "CueSheet.h"
#include "DecodeScanner.h"
#include "FileNames.h"
#include "LabelFile.h"
#include "Silences.h"
#include "TracksJob.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>

namespace {

// Engine texts are UTF-8; file names are the bytes they are.
QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string PathBytes(const QString& path)
{
    return ui::FileNameBytes(path);
}

QString PathText(const std::string& bytes)
{
    return ui::FileNameFromBytes(bytes);
}

PageTracks ToPage(const STrackList& list)
{
    PageTracks tracks;
    for (const STrack& t : list.tracks)
        tracks.push_back({t.start, t.end, FromUtf8(t.title), FromUtf8(t.performer)});
    return tracks;
}

std::vector<WaveformView::Stretch> Stretches(const SSilenceReport& report)
{
    std::vector<WaveformView::Stretch> found;
    if (report.leading)
        found.push_back({report.leading->start, report.leading->end});
    for (const SSilence& s : report.silences)
        found.push_back({s.start, s.end});
    if (report.trailing)
        found.push_back({report.trailing->start, report.trailing->end});
    return found;
}

// The shortest pause equal parts are moved into.
constexpr double kSnapSilenceSeconds = 0.5;

} // namespace

struct TracksEngine::Impl {
    std::unique_ptr<CDecodeScanner> scanner;
    // Every block, once the scan is done (the silence finder's input).
    mutable std::vector<SLevelBlock> blocks;
    // The album fields of the last cue sheet imported, for the pieces' tags.
    STrackList album;

    std::unique_ptr<CTracksJob> job;
    JobStatus status = JobStatus::Running;

    // Whether the source's lossless pieces are MP3 frame copies (else WAV),
    // asked once per source: the live example of a name needs it often.
    mutable std::string copiesFor;
    mutable bool mp3Copies = false;
    bool Mp3Copies(const std::string& source) const
    {
        if (copiesFor != source) {
            copiesFor = source;
            mp3Copies = SourceGivesMp3Copies(source);
        }
        return mp3Copies;
    }
    bool Mp3Output(const TracksRequest& r) const
    {
        return r.format == TracksFormat::Mp3 || (r.format == TracksFormat::Copy && Mp3Copies(r.sourcePath));
    }

    const std::vector<SLevelBlock>& Blocks() const
    {
        if (blocks.empty() && scanner && scanner->Done() && scanner->Error().empty() && !scanner->Stopped())
            blocks = scanner->AllBlocks();
        return blocks;
    }

    STrackList ToList(const PageTracks& tracks) const
    {
        STrackList list;
        list.albumTitle = album.albumTitle;
        list.albumPerformer = album.albumPerformer;
        list.date = album.date;
        list.genre = album.genre;
        for (const PageTrack& t : tracks) {
            STrack track;
            track.start = t.start;
            track.end = t.end;
            track.title = t.title.toStdString();
            track.performer = t.performer.toStdString();
            list.tracks.push_back(std::move(track));
        }
        return list;
    }

    TracksRequest Request(const WriteRequest& r) const
    {
        TracksRequest request;
        request.sourcePath = PathBytes(r.source);
        request.list = ToList(r.tracks);
        request.outputDir = PathBytes(r.folder);
        request.nameTemplate = r.nameTemplate.toStdString();
        request.bitRate = r.bitrateKbps;
        request.sampleRate = r.sampleRate;
        switch (r.format) {
        case Format::Keep:
            // An MP3 source's own frames; any other source stays PCM (WAV).
            request.format = TracksFormat::Copy;
            break;
        case Format::Mp3:
            request.format = TracksFormat::Mp3;
            break;
        case Format::Wav:
            request.format = TracksFormat::Wav;
            break;
        }
        return request;
    }
};

TracksEngine::TracksEngine() : m_impl(std::make_unique<Impl>()) {}

TracksEngine::~TracksEngine()
{
    if (m_impl->job && !WriteEnded())
        m_impl->job->Stop();
}

// ---- The scan ------------------------------------------------------------------

bool TracksEngine::StartScan(const QString& source, QString& error)
{
    StopScan();
    m_impl->blocks.clear();
    m_impl->scanner = std::make_unique<CDecodeScanner>(PathBytes(source));
    std::string reason;
    if (!m_impl->scanner->Start(&reason)) {
        m_impl->scanner.reset();
        error = FromUtf8(reason);
        return false;
    }
    return true;
}

void TracksEngine::StopScan()
{
    if (m_impl->scanner)
        m_impl->scanner->Stop();
}

bool TracksEngine::Scanning() const
{
    return m_impl->scanner && !m_impl->scanner->Done();
}

bool TracksEngine::ScanDone() const
{
    return !m_impl->scanner || m_impl->scanner->Done();
}

QString TracksEngine::ScanError() const
{
    return m_impl->scanner ? FromUtf8(m_impl->scanner->Error()) : QString();
}

std::size_t TracksEngine::BlocksReady() const
{
    return m_impl->scanner ? m_impl->scanner->BlocksReady() : 0;
}

std::size_t TracksEngine::TotalBlocks() const
{
    return m_impl->scanner ? m_impl->scanner->TotalBlocks() : 0;
}

TracksEngine::Time TracksEngine::BlockLength() const
{
    return m_impl->scanner ? m_impl->scanner->BlockTime() : 100000;
}

std::vector<WaveformView::Level> TracksEngine::Levels(std::size_t first, std::size_t count) const
{
    std::vector<WaveformView::Level> levels;
    if (!m_impl->scanner)
        return levels;
    const std::vector<SLevelBlock> blocks = m_impl->scanner->CopyBlocks(first, count);
    levels.reserve(blocks.size());
    for (const SLevelBlock& b : blocks)
        levels.push_back({b.min, b.max});
    return levels;
}

bool TracksEngine::SketchDone() const
{
    return !m_impl->scanner || m_impl->scanner->SketchDone();
}

std::vector<WaveformView::Level> TracksEngine::SketchLevels(std::size_t first) const
{
    std::vector<WaveformView::Level> levels;
    if (!m_impl->scanner)
        return levels;
    const std::vector<SLevelBlock> sketch = m_impl->scanner->Sketch();
    if (first < sketch.size()) {
        levels.reserve(sketch.size() - first);
        for (std::size_t b = first; b < sketch.size(); ++b)
            levels.push_back({sketch[b].min, sketch[b].max});
    }
    return levels;
}

int TracksEngine::SketchStride() const
{
    return m_impl->scanner ? m_impl->scanner->SketchStride() : 0;
}

// ---- Where tracks come from --------------------------------------------------

TracksEngine::Imported TracksEngine::ReadCueSheet(const QString& path, const QString& source, Time duration) const
{
    Imported imported;
    const CueReadResult read = ::ReadCueSheet(PathBytes(path), PathBytes(source), duration);
    if (!read.ok) {
        imported.error = FromUtf8(read.error);
        return imported;
    }
    m_impl->album = read.list;
    m_impl->album.tracks.clear();
    imported.tracks = ToPage(read.list);
    for (const std::string& note : read.list.notes)
        imported.notes << FromUtf8(note);
    return imported;
}

TracksEngine::Imported TracksEngine::ReadLabels(const QString& path, Time duration) const
{
    Imported imported;
    const LabelReadResult read = ReadLabelFile(PathBytes(path), duration);
    if (!read.ok) {
        imported.error = FromUtf8(read.error);
        return imported;
    }
    imported.tracks = ToPage(read.list);
    return imported;
}

QString TracksEngine::WriteCueSheet(const QString& path, const QString& source, const PageTracks& tracks) const
{
    std::string reason;
    // The save dialog has asked before replacing a file.
    if (::WriteCueSheet(PathBytes(path), m_impl->ToList(tracks), PathBytes(source), true, &reason))
        return {};
    return FromUtf8(reason);
}

QString TracksEngine::WriteLabels(const QString& path, const PageTracks& tracks) const
{
    std::string reason;
    if (WriteLabelFile(PathBytes(path), m_impl->ToList(tracks), true, &reason))
        return {};
    return FromUtf8(reason);
}

std::optional<double> TracksEngine::SuggestedThresholdDb() const
{
    const std::vector<SLevelBlock>& blocks = m_impl->Blocks();
    if (blocks.empty())
        return std::nullopt;
    return NoiseFloorThreshold(NoiseFloor(WindowLevels(blocks)));
}

TracksEngine::Silences TracksEngine::FindSilences(double thresholdDb, double minSeconds, bool trim,
                                                  Time duration) const
{
    Silences result;
    const std::vector<SLevelBlock>& blocks = m_impl->Blocks();
    if (blocks.empty()) {
        result.report = QCoreApplication::translate("TracksEngine", "The waveform is still being read.");
        return result;
    }
    SSilenceOptions options;
    options.thresholdDb = thresholdDb;
    options.minSeconds = minSeconds;
    const SSilenceReport report = ::FindSilences(blocks, BlockLength(), options);
    result.found = Stretches(report);
    const STrackList list = trim ? TracksBetweenSilences(report, duration) : TracksAtSilences(report, duration);
    result.tracks = ToPage(list);
    // (The count is a plain variable: lupdate does not read a cast in a call.)
    const int silences = int(report.silences.size());
    result.report = QCoreApplication::translate("TracksEngine", "%n silence(s) between the tracks, %1 tracks.",
                                                nullptr, silences)
                        .arg(result.tracks.size())
                    + QLatin1Char('\n') + FromUtf8(report.Summary());
    return result;
}

PageTracks TracksEngine::EqualParts(int count, Time every, double snapSeconds, double thresholdDb,
                                    Time duration) const
{
    std::vector<REFERENCE_TIME> cuts = count > 0 ? EqualPartCuts(count, duration) : EveryCuts(every, duration);
    const std::vector<SLevelBlock>& blocks = m_impl->Blocks();
    if (snapSeconds > 0 && !blocks.empty()) {
        SSilenceOptions options;
        options.thresholdDb = thresholdDb;
        options.minSeconds = kSnapSilenceSeconds;
        const SSilenceReport report = ::FindSilences(blocks, BlockLength(), options);
        cuts = SnapCuts(std::move(cuts), report.silences, static_cast<Time>(std::llround(snapSeconds * 1e7)));
    }
    return ToPage(TracksFromCuts(std::move(cuts), duration));
}

// ---- Writing ---------------------------------------------------------------------

QString TracksEngine::FirstName(const WriteRequest& request) const
{
    if (request.tracks.empty() || request.source.isEmpty())
        return {};
    const TracksRequest r = m_impl->Request(request);
    return FromUtf8(TrackFileName(r.nameTemplate, r.list.tracks.front(), 1, static_cast<int>(r.list.tracks.size()),
                                  r.sourcePath, m_impl->Mp3Output(r)));
}

QString TracksEngine::LosslessRefusal(const QString& source) const
{
    if (m_impl->Mp3Copies(PathBytes(source)))
        return {};
    return QCoreApplication::translate("TracksEngine",
                                       "the source is not MP3 audio, so the pieces are 16-bit WAV files at its "
                                       "sample rate (lossless for a 16-bit source).");
}

bool TracksEngine::StartWrite(const WriteRequest& request, QString& error)
{
    if (Writing()) {
        error = QCoreApplication::translate("TracksEngine", "a run is going on");
        return false;
    }
    auto job = std::make_unique<CTracksJob>(m_impl->Request(request));
    const JobResult built = job->Build();
    if (!built) {
        error = FromUtf8(built.Reason());
        return false;
    }
    job->Run();
    m_impl->job = std::move(job);
    m_impl->status = JobStatus::Running;
    return true;
}

TracksEngine::Progress TracksEngine::WriteProgress() const
{
    Progress progress;
    if (!m_impl->job)
        return progress;
    const STracksProgress p = m_impl->job->Progress();
    progress.pieces = p.pieceCount;
    progress.piece = p.current >= 0 ? p.current : std::min(p.piecesDone, std::max(0, p.pieceCount - 1));
    progress.fraction = p.share;
    const std::vector<std::string>& names = m_impl->job->PlannedNames();
    if (progress.piece >= 0 && progress.piece < static_cast<int>(names.size()))
        progress.name = PathText(names[static_cast<std::size_t>(progress.piece)]);
    return progress;
}

bool TracksEngine::Writing() const
{
    return m_impl->job != nullptr;
}

bool TracksEngine::WriteEnded() const
{
    if (!m_impl->job)
        return true;
    if (m_impl->status == JobStatus::Running)
        m_impl->status = m_impl->job->WaitStep(0);
    return m_impl->status != JobStatus::Running;
}

void TracksEngine::StopWrite()
{
    if (m_impl->job)
        m_impl->job->Stop();
}

TracksEngine::Outcome TracksEngine::FinishWrite()
{
    Outcome outcome;
    if (!m_impl->job || !WriteEnded())
        return outcome;
    const JobResult result = m_impl->job->Finish(m_impl->status);
    outcome.succeeded = result.Succeeded();
    outcome.stopped = m_impl->status == JobStatus::Stopped;
    outcome.reason = FromUtf8(result.Reason());
    for (const std::string& path : m_impl->job->Written())
        outcome.written << PathText(path);
    m_impl->job.reset();
    return outcome;
}
