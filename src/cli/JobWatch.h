#pragma once
// Waiting for a running graph from the command line: Ctrl+C, SIGTERM and a
// closed terminal (SIGHUP) become a request to stop, progress goes to
// stderr when it is a terminal.

#include "JobResult.h"

#include <chrono>
#include <functional>
#include <string>

namespace cli {

// Installs SIGINT/SIGTERM/SIGHUP handlers that only raise a flag; the wait
// loop polls it, so the job is stopped and cleaned up on the main thread.
// SIGPIPE is ignored: a reader that went away makes a write fail, it does
// not end the program before it has cleaned up.
void InstallInterruptHandlers();
bool InterruptRequested();

// How long a job has gone without progress, counted in the time this
// process ran: a pass that comes long after the one before it (the process
// was stopped with Ctrl-Z, or not given the processor) counts as no more
// than `longestPass`. So a job taken up again with `fg` is not taken for a
// stuck one.
class CStallClock {
public:
    using Clock = std::chrono::steady_clock;
    CStallClock(std::chrono::milliseconds limit, std::chrono::milliseconds longestPass);
    // One pass at `now`, the job at `share`: whether it has stalled.
    bool Pass(Clock::time_point now, double share);

private:
    std::chrono::milliseconds m_limit;
    std::chrono::milliseconds m_longestPass;
    bool m_started = false;
    Clock::time_point m_last;
    Clock::duration m_still{0};
    double m_share = -1;
};

struct JobWait {
    // One pass of waiting: how the job stands after up to timeoutMs.
    std::function<JobStatus(long timeoutMs)> waitStep;
    // Share done so far, 0..1 (shown, and watched for a stalled job).
    std::function<double()> progress;
    std::string label; // e.g. the output file name
};

enum class JobEnd { Completed, Failed, Interrupted, Stalled };
struct JobOutcome {
    JobEnd end = JobEnd::Failed;
    JobStatus status = JobStatus::Running; // how it ended when it ended by itself
};

// Waits in short passes until the graph ends, the user interrupts, or
// nothing has moved for `stallSeconds` of the process's running time
// (CStallClock). The caller stops the graph and cleans up in the last two
// cases.
JobOutcome WaitForJob(const JobWait& wait, int stallSeconds = 120);

} // namespace cli
