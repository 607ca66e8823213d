#pragma once
// Waiting for a running graph from the command line: Ctrl+C and SIGTERM
// become a request to stop, progress goes to stderr when it is a terminal.

#include "JobResult.h"

#include <functional>
#include <string>

namespace cli {

// Installs SIGINT/SIGTERM handlers that only raise a flag; the wait loop
// polls it, so the job is stopped and cleaned up on the main thread.
void InstallInterruptHandlers();
bool InterruptRequested();

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

// Waits in 100 ms passes until the graph ends, the user interrupts, or
// nothing has moved for `stallSeconds`. The caller stops the graph and
// cleans up in the last two cases.
JobOutcome WaitForJob(const JobWait& wait, int stallSeconds = 120);

} // namespace cli
