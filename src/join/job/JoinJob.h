#pragma once
// The join engine: writes files back to back into one new MP3. It checks the
// request, measures inputs whose durations it was not given, builds the join
// graph (CMediaGraph::BuildJoinGraph) writing under a hidden temporary name
// beside the output, and puts the file in place only when the join has
// completed. So a failed, stopped or interrupted join never leaves a
// half-written file under the chosen name, and a file it replaces survives
// until the new one is complete. The join page and tarnwick-cli both drive
// it; nothing here touches a GUI type.
//
// Typical use:
//   CJoinJob job(request);
//   if (FAILED(job.Build()) || FAILED(job.Start())) report(job.LastError());
//   long code = 0;
//   while (code == 0) { code = job.WaitStep(128); show(job.Progress()); }
//   if (FAILED(job.Finish(code))) report(job.LastError());

#include "media/filters/LameEncoder.h"
#include "media/graph/MediaTypes.h"

#include <memory>
#include <string>
#include <vector>

class CBaseFilter;
class CMediaGraph;
class IMediaEventEx;

// Build's result when the output exists and replacing it was not asked for
// (HRESULT_FROM_WIN32(ERROR_FILE_EXISTS)).
inline constexpr HRESULT kJoinOutputExists = static_cast<HRESULT>(0x80070050u);

struct JoinRequest {
    std::vector<std::string> inputs;       // in order
    std::vector<REFERENCE_TIME> durations; // one per input; empty: Build measures them
    std::string outputPath;
    bool overwrite = false; // an existing file at outputPath may be replaced
    // The encoder to use, with its settings as they stand (the join page's
    // own); null: a new "Lame" set to the two rates below.
    std::shared_ptr<CBaseFilter> encoder;
    int bitRate = kDefaultMp3Bitrate;       // kbps
    int sampleRate = kDefaultMp3SampleRate; // Hz
};

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
    // Fails with LastError() naming the cause; kJoinOutputExists when the
    // output exists and overwrite is false.
    HRESULT Build();
    HRESULT Start();

    // The graph's events, for a caller that wants to be notified (null
    // before Build).
    std::shared_ptr<IMediaEventEx> Events() const;
    // One pass of waiting: the event code (EC_COMPLETE, EC_USERABORT,
    // EC_ERRORABORT) or 0 on time-out.
    long WaitStep(long timeoutMs);
    // The joined length and how much of it is written.
    REFERENCE_TIME Duration() const;
    REFERENCE_TIME Position() const;
    double Progress() const; // 0..1

    // Ends the job after WaitStep returned `code`: on EC_COMPLETE the output
    // is put in place (S_OK); otherwise E_FAIL or E_ABORT with LastError().
    // The temporary output is gone either way.
    HRESULT Finish(long code);
    // Stops a running join; nothing is written.
    void Stop() { Stop(false); }
    // Stops a running join. With keepOutput, what was joined so far becomes
    // the output (a finished, playable MP3) unless the output existed before
    // the join: a file chosen for replacing stays as it was.
    void Stop(bool keepOutput);
    // After Stop(true): whether the part joined so far was put in place.
    bool KeptOutput() const { return m_keptOutput; }

    const JoinRequest& Request() const { return m_request; }
    // The output as an absolute path.
    std::string OutputPath() const;
    const std::vector<REFERENCE_TIME>& Durations() const { return m_durations; }
    const std::string& LastError() const { return m_lastError; }

private:
    HRESULT Fail(HRESULT hr, std::string reason);
    void RemoveTemporary();

    JoinRequest m_request;
    std::vector<REFERENCE_TIME> m_durations;
    std::unique_ptr<CMediaGraph> m_graph;
    std::string m_temporaryPath;
    bool m_stopped = false;
    bool m_outputExisted = false;
    bool m_keptOutput = false;
    std::string m_lastError;
};
