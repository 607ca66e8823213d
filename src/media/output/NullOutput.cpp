#include "media/output/OutputBackends.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;

// How far the writer may run ahead of the clock; small so that the position
// reported is close to what is heard and a pause takes effect at once.
constexpr double kAheadSeconds = 0.05;

// Plays into nothing at the pace of the steady clock (or at once when not
// paced).
class NullOutput final : public IAudioOutput {
public:
    NullOutput(const AudioFormat& format, bool paced)
        : m_rate(format.sampleRate)
        , m_paced(paced)
        , m_ahead(std::max<std::int64_t>(1, static_cast<std::int64_t>(format.sampleRate * kAheadSeconds)))
    {
    }

    bool Write(const float*, std::int64_t frames) override
    {
        std::unique_lock lock(m_mutex);
        if (m_interrupted)
            return false;
        m_written += frames;
        if (!m_paced)
            return true;
        while (!m_interrupted) {
            const std::int64_t played = PlayedLocked(Clock::now());
            if (m_written - played <= m_ahead)
                return true;
            WaitForClock(lock, m_written - m_ahead - played);
        }
        return false;
    }

    bool Drain() override
    {
        std::unique_lock lock(m_mutex);
        while (!m_interrupted) {
            const std::int64_t played = PlayedLocked(Clock::now());
            if (played >= m_written)
                return true;
            WaitForClock(lock, m_written - played);
        }
        return false;
    }

    void Pause() override
    {
        std::lock_guard lock(m_mutex);
        if (!m_running)
            return;
        m_playedBase = PlayedLocked(Clock::now());
        m_running = false;
        m_wake.notify_all();
    }

    void Resume() override
    {
        std::lock_guard lock(m_mutex);
        if (m_running)
            return;
        m_running = true;
        m_started = Clock::now();
        m_interrupted = false;
        m_wake.notify_all();
    }

    void Flush() override
    {
        std::lock_guard lock(m_mutex);
        m_written = 0;
        m_playedBase = 0;
        m_started = Clock::now();
        m_interrupted = false;
        m_wake.notify_all();
    }

    void Stop() override
    {
        Pause();
        Flush();
    }

    void Interrupt() override
    {
        std::lock_guard lock(m_mutex);
        m_interrupted = true;
        m_wake.notify_all();
    }

    std::int64_t PlayedFrames() const override
    {
        std::lock_guard lock(m_mutex);
        return PlayedLocked(Clock::now());
    }

    std::string Name() const override { return m_paced ? "null output" : "null output (no clock)"; }

private:
    std::int64_t PlayedLocked(Clock::time_point now) const
    {
        if (!m_paced)
            return m_written;
        std::int64_t played = m_playedBase;
        if (m_running) {
            const auto elapsed = std::chrono::duration<double>(now - m_started).count();
            played += static_cast<std::int64_t>(elapsed * m_rate);
        }
        return std::min(played, m_written);
    }

    // Sleeps until `frames` more should have been played, or a state change.
    void WaitForClock(std::unique_lock<std::mutex>& lock, std::int64_t frames)
    {
        if (!m_running) {
            m_wake.wait(lock);
            return;
        }
        const auto delay = std::chrono::duration<double>(static_cast<double>(frames) / m_rate);
        m_wake.wait_for(lock, std::min<std::chrono::duration<double>>(delay, std::chrono::milliseconds(20)) +
                                  std::chrono::microseconds(200));
    }

    const int m_rate;
    const bool m_paced;
    const std::int64_t m_ahead;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_running = false;
    bool m_interrupted = false;
    std::int64_t m_written = 0;
    std::int64_t m_playedBase = 0; // played before m_started
    Clock::time_point m_started = Clock::now();
};

} // namespace

std::unique_ptr<IAudioOutput> MakeNullOutput(const AudioFormat& format, bool paced)
{
    return std::make_unique<NullOutput>(format, paced);
}
