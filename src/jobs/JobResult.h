#pragma once
// What a job's step gives back: success, or the kind of failure with a
// reason a person can read ("cannot read /x/y.mp3: no such file"). The kind
// is for callers that act on it (the command line's exit status, a page
// that stays quiet when the user stopped the job); the reason is what they
// show.

#include <string>
#include <utility>

enum class JobFailure {
    None,
    InvalidRequest, // nothing to do, a stretch with no audio, rates MP3 has no place for
    OutputExists,   // the output is there and replacing it was not asked for
    NotFound,       // a missing input, or an output folder that cannot be made
    Unreadable,     // an input that holds no audio that can be decoded
    Unavailable,    // a filter the job needs is not registered
    Stopped,        // the user stopped it
    Failed,         // the stream or the writing failed
};

// Where a started job stands, as one pass of its wait finds it.
enum class JobStatus {
    Running,   // not ended yet
    Completed, // the output is whole
    Stopped,   // stopped by the user, or by a stop that never ends by itself
    Failed,    // the stream or the writing failed
};

class [[nodiscard]] JobResult {
public:
    JobResult() = default;
    static JobResult Ok() { return {}; }
    static JobResult Fail(JobFailure failure, std::string reason)
    {
        return JobResult(failure, std::move(reason));
    }

    bool Succeeded() const { return m_failure == JobFailure::None; }
    explicit operator bool() const { return Succeeded(); }
    JobFailure Failure() const { return m_failure; }
    const std::string& Reason() const { return m_reason; }

private:
    JobResult(JobFailure failure, std::string reason) : m_failure(failure), m_reason(std::move(reason)) {}

    JobFailure m_failure = JobFailure::None;
    std::string m_reason;
};
