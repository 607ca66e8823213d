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
//   if (FAILED(job.Build())) report(job.LastError());
//   job.Run();
//   long code = 0;
//   while (code == 0) { code = job.WaitStep(250); show(job.Progress()); }
//   if (FAILED(job.Finish(code))) report(job.LastError());
//   // else job.OutputPath() holds the piece.

#include "media/filters/LameEncoder.h"
#include "media/graph/MediaTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CBaseFilter;
class CFilterGraph;
class CMp3PieceWriter;
class IMediaControl;
class IMediaEvent;
class IMediaSeeking;

// Whether an MP3 piece of an MP3 source copies the source's frames.
enum class SplitCopy {
    Never,        // re-encoded at the chosen rates
    Required,     // copied, or the job fails with the reason it cannot be
    WhenPossible, // copied, or re-encoded when it cannot be (CopyRefusal says why)
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
};

// Replaces every ".wav" by ".mp3" for MP3 output, every ".mp3" by ".wav"
// otherwise; case-insensitive ("Song.MP3" to WAV gives "Song.wav").
std::string FitOutputName(const std::string& name, bool mp3Output);

// Creates every missing level of `dir`. False with a reason on failure
// (including an existing non-directory on the way).
bool MakeSureDirectoryPathExists(const std::string& dir, std::string* reason);

// dir + "/" + "%d-" + name with the first number from pieceIndex + 1 on whose
// candidate does not exist (neither file nor directory nor dangling link).
std::string FindFreeOutputPath(const std::string& dir, const std::string& name, int pieceIndex);

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
    // not run it. Fails with LastError() naming the cause: a missing or
    // unreadable source, an empty or inverted stretch, rates the encoder does
    // not take, an output folder that cannot be created, a copy that was
    // required and cannot be made.
    HRESULT Build();

    // Starts the built job. A graph that cannot start ends with an abort event.
    void Run();
    // `notify` runs whenever the job has news (on its own threads: it must
    // only hand the news on, e.g. post a message).
    void SetNotify(std::function<void()> notify);
    // True when the built job copies the source's frames.
    bool CopiesFrames() const { return m_copiesFrames; }
    // Why a copy that was asked for where possible is re-encoded instead; "" otherwise.
    const std::string& CopyRefusal() const { return m_copyRefusal; }

    // Facets of the built graph (null before a successful Build, and for a copied piece).
    std::shared_ptr<CFilterGraph> Graph() const { return m_graph; }
    std::shared_ptr<IMediaControl> Control() const;
    std::shared_ptr<IMediaEvent> Events() const;
    std::shared_ptr<IMediaSeeking> Seeking() const;

    // One pass of the wait loop: WaitForCompletion(timeoutMs). Returns the
    // event code (EC_COMPLETE, EC_USERABORT, EC_ERRORABORT) or 0 on time-out.
    long WaitStep(long timeoutMs);
    // 0..kSplitProgressRange as the settings dialog shows it: MP3 from the output file's size
    // against the prediction, WAV from the graph position against L, a copy
    // from the bytes copied.
    int Progress() const;

    // Ends the job after WaitStep returned `code`: S_OK on EC_COMPLETE;
    // otherwise E_FAIL with LastError() (the graph's reason). A failed piece
    // has already been removed by its writer.
    HRESULT Finish(long code);
    // Stops a running job. keepOutput true: a user stop, what was written
    // stays; false: a cancel, the partial piece is removed. A copied piece
    // is complete or absent: stopped, it is always removed.
    void Stop(bool keepOutput);

    const SplitPieceRequest& Request() const { return m_request; }
    const std::string& OutputPath() const { return m_outputPath; }
    std::int32_t PredictedSize() const { return m_predictedSize; }
    REFERENCE_TIME Length() const { return m_length; } // L = stop - start + 1
    // The encoder's bit rate / sample rate in use (MP3); LAME may move a bit
    // rate the sample rate cannot carry to the nearest legal one.
    int EffectiveBitRate() const { return m_effectiveBitRate; }
    const std::string& LastError() const { return m_lastError; }

private:
    HRESULT Fail(HRESULT hr, std::string reason);
    // The copy of an MP3 piece; false (reason set) when it cannot be made.
    bool BuildCopy(std::string* reason);
    HRESULT NameOutput();

    SplitPieceRequest m_request;
    std::shared_ptr<CFilterGraph> m_graph;
    std::shared_ptr<CBaseFilter> m_writer;
    std::unique_ptr<CMp3PieceWriter> m_copy;
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
    std::string m_lastError;
};
