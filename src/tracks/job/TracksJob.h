#pragma once
// The tracks job: cuts a whole list of tracks (STrackList) from one source
// into an output folder, one CSplitJob per piece, on a thread of its own.
// Lossless MP3 copies are written two at a time; re-encoded pieces one
// after another (the encoder inside each is parallel). No GUI types: the
// tracks page and tarnwick-cli drive it.
//
// Typical use:
//   CTracksJob job(request);
//   if (JobResult built = job.Build(); !built) report(built.Reason());
//   job.Run();
//   JobStatus status = JobStatus::Running;
//   while (status == JobStatus::Running) { status = job.WaitStep(250); show(job.Progress()); }
//   JobResult done = job.Finish(status); // job.Written() names the pieces in place
//
// A failure that belongs to one piece alone (its name cannot be created,
// its stretch cannot be copied and copying was required) is told in
// PieceFailures() and the run goes on with the next piece; any other
// failure (a full disk, a source that changed or cannot be read) ends the
// run. A stop removes the piece being written; the pieces already complete
// stay.

#include "JobResult.h"
#include "SourceIdentity.h"
#include "TrackList.h"
#include "media/filters/Mp3Settings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct Mp3Layout;

enum class TracksFormat {
    Copy,     // lossless: MP3 pieces made of an MP3 source's own frames (re-encoded where
              // that cannot be), WAV pieces of any other source
    Mp3,      // re-encoded at bitRate / sampleRate
    Wav,      // 16-bit PCM at the source's rate
};

inline constexpr char kDefaultTrackNameTemplate[] = "{n} - {title}";

struct TracksRequest {
    std::string sourcePath;
    STrackList list;
    std::string outputDir; // created when missing
    TracksFormat format = TracksFormat::Copy;
    int bitRate = kDefaultMp3Bitrate;       // kbps, re-encoded MP3
    int sampleRate = kDefaultMp3SampleRate; // Hz, re-encoded MP3
    std::string nameTemplate = kDefaultTrackNameTemplate;
    bool writeTags = true;
    // The source as the caller measured it; unknown: as Build finds it.
    SourceIdentity sourceIdentity;
    // Lossless pieces written at the same time (1 or more).
    int copiesAtOnce = 2;
};

// The file name (no folder) of track `n` (1-based) of `count`: the template
// with {n} (zero-padded to the width of `count`), {title}, {performer} and
// {source} (the source's name without its extension) filled in; when the
// track has no title, "{title}" stands for the source's name. Characters a
// file name cannot hold ('/', NUL, control characters, and ':' '\\' '*' '?'
// '"' '<' '>' '|' that other systems refuse) become '_'; a name that would
// be empty, "." or ".." becomes the number; the extension (.mp3 / .wav) is
// added.
std::string TrackFileName(const std::string& nameTemplate, const STrack& track, int n, int count,
                          const std::string& sourcePath, bool mp3Output);

// Whether the lossless pieces of `sourcePath` are MP3 copies of its frames
// (an MP3 source, as its content shows) rather than WAV.
bool SourceGivesMp3Copies(const std::string& sourcePath);

// What the job reports about one piece.
struct STrackPiece {
    int index = 0;        // 0-based track index
    std::string path;     // where it is (written) or was to go
    bool written = false;
    bool copied = false;  // made of the source's frames
    std::string problem;  // why it failed; "" when written
};

struct STracksProgress {
    int piecesDone = 0;   // written or failed, whole pieces
    int pieceCount = 0;
    int current = -1;     // index of the (first) piece being written; -1 when none
    double share = 0;     // 0..1 of the whole run, by source time
};

class CTracksJob {
public:
    explicit CTracksJob(TracksRequest request);
    // Stops a run that has not ended (what it was writing is removed).
    ~CTracksJob();
    CTracksJob(const CTracksJob&) = delete;
    CTracksJob& operator=(const CTracksJob&) = delete;

    // Checks the request: a readable source, tracks in order inside it,
    // the rates, the output folder (created). Fails naming the cause.
    JobResult Build();
    // Whether the pieces are MP3 (known after Build).
    bool WritesMp3() const { return Mp3Output(); }
    // The planned file names (no folder), one per track, as Build found them.
    const std::vector<std::string>& PlannedNames() const { return m_names; }
    // Lines to tell before the run: the list's notes, a copy that cannot be made.
    std::vector<std::string> Notes() const;

    // `notify` runs (on the job's threads) whenever there is news; it must
    // only hand the news on.
    void SetNotify(std::function<void()> notify);
    // Starts a built job (nothing without a successful Build).
    void Run();
    // How the run stands after waiting up to timeoutMs: Running, or its end
    // (Completed also when some pieces failed on their own: see PieceFailures).
    JobStatus WaitStep(long timeoutMs);
    STracksProgress Progress() const;
    // Stops the run: the piece being written is removed; returns at once,
    // WaitStep then reports Stopped.
    void Stop();
    // Ends the run after WaitStep returned `status`: success when every
    // piece was written; Stopped; or the first failure's reason (a failure
    // of pieces on their own is Failed with the count and the first reason).
    JobResult Finish(JobStatus status);

    // The pieces in place so far, in track order.
    std::vector<std::string> Written() const;
    // Every piece's state (after the run: what happened to each).
    std::vector<STrackPiece> Pieces() const;
    // The pieces that failed on their own.
    std::vector<STrackPiece> PieceFailures() const;
    // Tag warnings and other lines the pieces' jobs had to tell.
    std::vector<std::string> Warnings() const;

    const TracksRequest& Request() const { return m_request; }

private:
    struct State;
    void Work(std::shared_ptr<const Mp3Layout> layout);
    bool Mp3Output() const
    {
        return m_request.format == TracksFormat::Mp3 || (m_request.format == TracksFormat::Copy && m_mp3Source);
    }

    TracksRequest m_request;
    std::vector<std::string> m_names;
    bool m_mp3Source = false;
    std::shared_ptr<State> m_state;
};
