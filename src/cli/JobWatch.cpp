#include "JobWatch.h"

#include "Console.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int)
{
    g_interrupted = 1;
}

// One line on stderr, rewritten in place while a terminal shows it.
class ProgressLine {
public:
    explicit ProgressLine(std::string label)
        : m_label(std::move(label)), m_enabled(::isatty(::fileno(Messages())) == 1)
    {
    }
    ~ProgressLine()
    {
        if (m_enabled && m_shown)
            std::fprintf(Messages(), "\r\033[K");
    }
    void Show(double share)
    {
        if (!m_enabled)
            return;
        const int percent = int(std::lround(std::clamp(share, 0.0, 1.0) * 100));
        if (m_shown && percent == m_percent)
            return;
        m_percent = percent;
        m_shown = true;
        std::fprintf(Messages(), "\r\033[K%3d%%  %s", percent, m_label.c_str());
        std::fflush(Messages());
    }

private:
    std::string m_label;
    bool m_enabled;
    bool m_shown = false;
    int m_percent = -1;
};

} // namespace

void InstallInterruptHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool InterruptRequested()
{
    return g_interrupted != 0;
}

CStallClock::CStallClock(std::chrono::milliseconds limit, std::chrono::milliseconds longestPass)
    : m_limit(limit), m_longestPass(longestPass)
{
}

bool CStallClock::Pass(Clock::time_point now, double share)
{
    if (!m_started || share != m_share) {
        m_started = true;
        m_share = share;
        m_last = now;
        m_still = Clock::duration(0);
        return false;
    }
    m_still += std::min<Clock::duration>(now - m_last, m_longestPass);
    m_last = now;
    return m_still > m_limit;
}

JobOutcome WaitForJob(const JobWait& wait, int stallSeconds)
{
    ProgressLine line(wait.label);
    // A pass waits 20 ms; one of more than a second was not spent running.
    CStallClock stall(std::chrono::seconds(stallSeconds), std::chrono::seconds(1));
    for (;;) {
        if (InterruptRequested())
            return {JobEnd::Interrupted, JobStatus::Running};
        // Short steps, so Ctrl-C stops the job's threads well within 100 ms.
        const JobStatus status = wait.waitStep(20);
        if (status == JobStatus::Completed)
            return {JobEnd::Completed, status};
        if (status != JobStatus::Running)
            return {JobEnd::Failed, status};

        const double share = wait.progress ? wait.progress() : 0.0;
        line.Show(share);
        if (stall.Pass(CStallClock::Clock::now(), share))
            return {JobEnd::Stalled, JobStatus::Running};
    }
}

} // namespace cli
