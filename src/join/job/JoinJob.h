#pragma once
// The join engine: writes files back to back into one new MP3. It checks the
// request, measures the inputs, and builds the join graph
// (CMediaGraph::BuildJoinGraph), whose file writer writes a hidden temporary
// beside the output and moves it to its name only when the join has
// completed (OutputFile.h). So a failed, stopped or interrupted join never
// leaves a half-written file under the chosen name, a file it replaces
// survives until the new one is complete, and an input that changed while
// it was read fails the join. The join page and tarnwick-cli both drive it;
// nothing here touches a GUI type.
//
// Typical use:
//   CJoinJob job(request);
//   if (JobResult built = job.Build(); !built) report(built.Reason());
//   job.Start();
//   JobStatus status = JobStatus::Running;
//   while (status == JobStatus::Running) { status = job.WaitStep(128); show(job.Progress()); }
//   if (JobResult done = job.Finish(status); !done) report(done.Reason());

#include "JobResult.h"
#include "TagFields.h"
#include "media/filters/Mp3Settings.h"
#include "media/graph/MediaTime.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CBaseFilter;
class CMediaGraph;
class CTagNotes;

struct JoinRequest {
    std::vector<std::string> inputs;       // in order
    std::vector<REFERENCE_TIME> durations; // one per input; empty: Build measures them
    std::string outputPath;
    bool overwrite = false; // an existing file at outputPath may be replaced
    // The encoder to use, with its settings as they stand (the join page's
    // own "Lame" instance); null: a new "Lame" set to the two rates below.
    std::shared_ptr<CBaseFilter> encoder;
    int bitRate = kDefaultMp3Bitrate;       // kbps
    int sampleRate = kDefaultMp3SampleRate; // Hz
    // The merged file's ID3v2.3 tags: the first input's album, artist, year,
    // genre and cover, the album (or the output's name) as its title, and a
    // chapter for each input at the exact time it starts, titled with the
    // input's title or file name; the person's choices over them.
    tags::MergeTagChoices tags;
};

// What the merged file of `inputs` would carry before anything is edited,
// as the encoder's settings page shows it.
struct MergeTagPreview {
    std::vector<std::pair<tags::TagField, std::string>> fields; // title (the album; "" when the output's name is to be it), artist, album, album artist, year, genre
    std::optional<tags::TagPicture> cover;  // the first input's
    std::vector<std::string> inputsWithPictures;
    std::vector<std::string> problems; // inputs whose tags cannot be read, one line each
};
MergeTagPreview PreviewMergeTags(const std::vector<std::string>& inputs);

// The picture a cover choice stands for: none for FirstInput (see
// MergeTagPreview) and None; false with `reason` when it cannot be had.
bool ReadCoverChoice(const tags::CoverChoice& choice, std::optional<tags::TagPicture>* picture, std::string* reason);

class CJoinJob {
public:
    explicit CJoinJob(JoinRequest request);
    // Stops a join still running; nothing is left under the output name.
    ~CJoinJob();
    CJoinJob(const CJoinJob&) = delete;
    CJoinJob& operator=(const CJoinJob&) = delete;

    // Checks the request (inputs given, the output none of them however it
    // is named, its folder there, not a folder itself, not replaced unless
    // asked), measures the inputs and builds the graph without running it.
    // Fails naming the cause; OutputExists when the output exists and
    // overwrite is false. Temporaries of killed runs in the output's folder
    // are removed (Reclaimed() names them).
    JobResult Build();
    const std::vector<std::string>& Reclaimed() const { return m_reclaimed; }
    JobResult Start();

    // `notify` runs whenever the join has news (on the graph's threads: it
    // must only hand the news on, e.g. post a message). Call after Build.
    void SetNotify(std::function<void()> notify);
    // One pass of waiting: how the join stands after up to timeoutMs.
    JobStatus WaitStep(long timeoutMs);
    // The joined length and how much of it is written.
    REFERENCE_TIME Duration() const;
    REFERENCE_TIME Position() const;
    double Progress() const; // 0..1

    // Ends the job after WaitStep returned `status`: when it completed the
    // output is put in place; otherwise the failure (Stopped when the user
    // stopped it) with its reason. The temporary output is gone either way.
    JobResult Finish(JobStatus status);
    // Stops a running join; nothing is written.
    void Stop() { Stop(false); }
    // Stops a running join. With keepOutput, what was joined so far becomes
    // the output (a finished, playable MP3) unless the output existed before
    // the join: a file chosen for replacing stays as it was.
    void Stop(bool keepOutput);
    // After Stop(true): whether the part joined so far was put in place, and
    // why not when it could not be.
    bool KeptOutput() const { return m_keptOutput; }
    // After Stop: whether the join had completed (the output in place)
    // before the stop could stop it.
    bool CompletedBeforeStop() const { return m_completedBeforeStop; }
    const std::string& KeepFailure() const { return m_keepFailure; }

    // What there is to tell about the merged file's tags, one line each
    // (an input whose tags cannot be read, from Build on). The audio is
    // joined all the same.
    std::vector<std::string> TagWarnings() const;
    // Where each input starts and ends in the merged file (from Build on).
    const std::vector<tags::TagChapter>& Chapters() const { return m_chapters; }

    const JoinRequest& Request() const { return m_request; }
    // The output as an absolute path.
    std::string OutputPath() const;
    const std::vector<REFERENCE_TIME>& Durations() const { return m_durations; }

private:
    // The chapters at the exact times the inputs start in the merged file,
    // and the tags its writer puts at its start. False with `reason`.
    bool PrepareTags(const std::shared_ptr<CBaseFilter>& encoder, const std::vector<int>& sampleRates,
                     std::string* reason);

    JoinRequest m_request;
    std::vector<REFERENCE_TIME> m_durations;
    std::vector<tags::TagChapter> m_chapters;
    std::shared_ptr<CTagNotes> m_tagNotes;
    std::vector<std::string> m_reclaimed;
    std::unique_ptr<CMediaGraph> m_graph;
    bool m_stopped = false;
    bool m_outputExisted = false;
    bool m_keptOutput = false;
    bool m_completedBeforeStop = false;
    std::string m_keepFailure;
};
