#pragma once
// The split engine: writes one stretch of a source file as a new MP3 or WAV
// piece. It builds the piece's graph from an editing timeline (source cut to
// the stretch -> render engine -> "Lame" encoding stage -> "Dest" writer) and
// leaves running it to the caller, who watches it through the graph's control,
// event and seeking facets. The settings dialog and tarnwick-cli both drive
// it; nothing here touches a GUI type.
//
// An MP3 piece of an MP3 source may instead be copied frame by frame, without
// re-encoding (SplitPieceRequest::copy): no graph then, a writing thread
// (CMp3PieceWriter) that the same calls drive.
//
// Typical use (one piece):
//   CSplitJob job(request);
//   if (JobResult built = job.Build(); !built) report(built.Reason());
//   job.Run();
//   JobStatus status = JobStatus::Running;
//   while (status == JobStatus::Running) { status = job.WaitStep(250); show(job.Progress()); }
//   if (JobResult done = job.Finish(status); !done) report(done.Reason());
//   // else job.OutputPath() holds the piece.

#include "JobResult.h"
#include "SourceIdentity.h"
#include "TagFields.h"
#include "media/filters/Mp3Settings.h"
#include "media/graph/MediaTime.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CBaseFilter;
class CFilterGraph;
class CMp3PieceWriter;
class CTagNotes;
struct Mp3Layout;
namespace tags {
class CTagSet;
}

// Whether an MP3 piece of an MP3 source copies the source's frames.
enum class SplitCopy {
    Never,        // re-encoded at the chosen rates
    Required,     // copied, or the job fails with the reason it cannot be
    WhenPossible, // copied, or re-encoded when it cannot be (CopyRefusal says why)
};

// How a piece is named in its folder.
enum class PieceNaming {
    Numbered, // "N-name", the first N from the piece's position on that is free
    Named,    // "name" itself, or "stem (N).ext" from N = 2 on when that is taken
};

// One piece to extract.
struct SplitPieceRequest {
    std::string sourcePath;       // the file the timeline opens, as given
    std::string outputDir;        // receives the piece; created when missing
    std::string outputName;       // name after the "N-" prefix; fitted to the format by Build
    bool mp3Output = true;        // false: 16-bit PCM WAV
    int bitRate = kDefaultMp3Bitrate;        // kbps (MP3 only)
    int sampleRate = kDefaultMp3SampleRate;  // Hz (MP3 only; WAV keeps the source's rate)
    SplitCopy copy = SplitCopy::Never;
    REFERENCE_TIME start = 0;     // the stretch [start, stop) of the source
    REFERENCE_TIME stop = 0;
    int pieceIndex = 0;           // i: the numbering of this piece starts at i + 1
    std::string graphDotPath;     // where the graph description goes; "" = DefaultGraphDotPath()
    // The source as the caller measured it (SourceMeasure::identity): a
    // source that is no longer that file fails the job. Unknown: as Build
    // finds it.
    SourceIdentity sourceIdentity;
    // The piece carries the source's tags, made true for the piece (seek
    // tables, timing and gain frames dropped, chapters cut to the piece and
    // moved to its time, its own length), with `tagEdits` over them; false:
    // no tags at all.
    bool writeTags = true;
    tags::TagEdits tagEdits;
    // Named: outputName is taken as it is (not fitted to the format).
    PieceNaming naming = PieceNaming::Numbered;
    // The source's MP3 layout, read by the caller from the file that
    // sourceIdentity describes: a copy plans from it instead of reading
    // the source's frames again (a tracks run copies many pieces of one file).
    std::shared_ptr<const Mp3Layout> mp3Layout;
};

// Whether `path` holds MPEG audio (its content decides, not its name): only
// such a source can give MP3 pieces that keep its frames.
bool SourceIsMpegAudio(const std::string& path);

// Why [start, stop) of `sourcePath` cannot be copied to an MP3 piece, judged
// from the source's first frame and the piece's length: "" when it can.
// Cheap enough to ask before a run; the plan made when the piece is built
// has the final word.
std::string Mp3CopyRefusal(const std::string& sourcePath, REFERENCE_TIME start, REFERENCE_TIME stop);

// bytesPerSecond * L * 1e-7 in double precision, truncated to 32 bits.
std::int32_t PredictedOutputSize(std::int32_t bytesPerSecond, REFERENCE_TIME length);

// The scale of a piece's progress, as the settings dialog's bar shows it.
inline constexpr int kSplitProgressRange = 200;

class CSplitJob {
public:
    explicit CSplitJob(SplitPieceRequest request);
    // Stops a graph still running; a piece that did not complete is removed.
    ~CSplitJob();
    CSplitJob(const CSplitJob&) = delete;
    CSplitJob& operator=(const CSplitJob&) = delete;

    // Builds the piece's graph (timeline, render engine, capture builder,
    // encoder or WAV writer, file writer, output name, DOT description), or
    // for a copied piece its plan (no graph, no DOT description), but does
    // not run it. Fails naming the cause: a missing or unreadable source, an
    // empty or inverted stretch, rates the encoder does not take, an output
    // folder that cannot be created, a copy that was required and cannot be
    // made, a source that changed since the caller measured it.
    //
    // The piece is written to a hidden temporary in the output folder and
    // gets its numbered name when complete: the first number free then, so
    // a piece of another run that took the number found here sends it on to
    // the next. Temporaries that killed runs left in the folder are removed
    // here (Reclaimed() names them). The source is checked again at the
    // end: one that changed while it was read fails the job.
    JobResult Build();
    // The temporaries of killed runs that Build removed from the output folder.
    const std::vector<std::string>& Reclaimed() const { return m_reclaimed; }

    // Starts the built job. A graph that cannot start ends with an abort event.
    void Run();
    // `notify` runs whenever the job has news (on its own threads: it must
    // only hand the news on, e.g. post a message).
    void SetNotify(std::function<void()> notify);
    // True when the built job copies the source's frames.
    bool CopiesFrames() const { return m_copiesFrames; }
    // Why a copy that was asked for where possible is re-encoded instead; "" otherwise.
    const std::string& CopyRefusal() const { return m_copyRefusal; }
    // What there is to tell about the piece's tags, one line each: the
    // source's tags could not be read (known from Build), the piece could
    // not carry them (known when it is finished). The audio is written all
    // the same.
    std::vector<std::string> TagWarnings() const;

    // The built graph, for its description (null before a successful
    // Build, and for a copied piece).
    std::shared_ptr<CFilterGraph> Graph() const { return m_graph; }

    // One pass of the wait loop: how the job stands after waiting up to
    // timeoutMs for it to end.
    JobStatus WaitStep(long timeoutMs);
    // 0..kSplitProgressRange as the settings dialog shows it: MP3 from the output file's size
    // against the prediction, WAV from the graph position against L, a copy
    // from the bytes copied.
    int Progress() const;

    // Ends the job after WaitStep returned `status`: success when it
    // completed; otherwise the failure with the graph's reason (Stopped when
    // the user stopped it). A failed piece has already been removed by its
    // writer.
    JobResult Finish(JobStatus status);
    // Stops a running job. keepOutput true: a user stop, what was written
    // is put in place as a shorter, finished piece; false: a cancel, the
    // partial piece is removed. A copied piece is complete or absent:
    // stopped, it is always removed.
    void Stop(bool keepOutput);
    // Whether the piece is complete under its name, whatever came after:
    // a cancel that raced with the end of the job found nothing to remove.
    bool OutputComplete() const;

    const SplitPieceRequest& Request() const { return m_request; }
    // The piece's name: the first free one when built; once the piece is in
    // place, the name it has.
    const std::string& OutputPath() const { return m_outputPath; }
    std::int32_t PredictedSize() const { return m_predictedSize; }
    REFERENCE_TIME Length() const { return m_length; } // L = stop - start + 1
    // The encoder's bit rate / sample rate in use (MP3); LAME may move a bit
    // rate the sample rate cannot carry to the nearest legal one.
    int EffectiveBitRate() const { return m_effectiveBitRate; }

private:
    // The copy of an MP3 piece; false (reason set) when it cannot be made.
    // `changed`: the source is no longer the file the job began with.
    bool BuildCopy(std::string* reason, bool* changed);
    JobResult NameOutput();
    // Reads the source's tags and makes m_pieceTags of them for the piece
    // [start, stop) (none unless asked for).
    void ReadTags(REFERENCE_TIME stop);

    // What the file writer or the copy says the piece's name is now.
    void UpdateOutputPath();

    SplitPieceRequest m_request;
    SourceIdentity m_source; // the source as it was when the job began
    std::vector<std::string> m_reclaimed;
    std::string m_outputDir, m_outputName;
    long long m_outputNumber = 1;
    std::shared_ptr<CFilterGraph> m_graph;
    std::shared_ptr<CBaseFilter> m_writer;
    std::unique_ptr<CMp3PieceWriter> m_copy;
    std::shared_ptr<CTagNotes> m_tagNotes;
    std::unique_ptr<tags::CTagSet> m_pieceTags; // what the piece carries
    bool m_pieceId3v1 = false;                  // an MP3 piece ends in ID3v1 too
    bool m_copiesFrames = false;
    std::string m_copyRefusal;
    std::function<void()> m_notify;
    std::string m_outputPath;
    std::int32_t m_predictedSize = 0;
    REFERENCE_TIME m_length = 0;
    int m_effectiveBitRate = 0;
    bool m_finished = false;
    bool m_userStopped = false;
    mutable int m_lastProgress = 0;
};
