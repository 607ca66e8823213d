#include "media/output/OutputBackends.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Keeps ALSA/JACK from printing their probing chatter on our stderr while
// PortAudio looks for devices.
class StderrSilencer {
public:
    StderrSilencer()
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int devnull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && devnull >= 0)
            ::dup2(devnull, STDERR_FILENO);
        if (devnull >= 0)
            ::close(devnull);
    }
    ~StderrSilencer()
    {
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    StderrSilencer(const StderrSilencer&) = delete;
    StderrSilencer& operator=(const StderrSilencer&) = delete;

private:
    int m_saved = -1;
};

std::mutex g_backendMutex;
bool g_backendTried = false;
bool g_backendReady = false;

bool EnsureBackend()
{
    std::lock_guard lock(g_backendMutex);
    if (!g_backendTried) {
        g_backendTried = true;
        StderrSilencer quiet;
        g_backendReady = Pa_Initialize() == paNoError;
    }
    return g_backendReady;
}

struct StreamCloser {
    void operator()(PaStream* stream) const
    {
        Pa_AbortStream(stream);
        Pa_CloseStream(stream);
    }
};

// The default output device, written in blocking mode.
class PortAudioOutput final : public IAudioOutput {
public:
    static std::unique_ptr<PortAudioOutput> Open(const AudioFormat& format)
    {
        StderrSilencer quiet;
        PaStream* raw = nullptr;
        if (Pa_OpenDefaultStream(&raw, 0, format.channels, paFloat32, format.sampleRate,
                                 paFramesPerBufferUnspecified, nullptr, nullptr) != paNoError)
            return nullptr;
        std::unique_ptr<PaStream, StreamCloser> stream(raw);
        const PaStreamInfo* info = Pa_GetStreamInfo(raw);
        auto output = std::unique_ptr<PortAudioOutput>(new PortAudioOutput(format));
        output->m_latency = info ? static_cast<std::int64_t>(info->outputLatency * format.sampleRate) : 0;
        const PaDeviceInfo* device = Pa_GetDeviceInfo(Pa_GetDefaultOutputDevice());
        output->m_name = std::string("PortAudio: ") + (device && device->name ? device->name : "default");
        output->m_stream = std::move(stream);
        return output;
    }

    bool Write(const float* samples, std::int64_t frames) override
    {
        // Small pieces, so that an Interrupt or Pause is seen quickly.
        constexpr std::int64_t kPiece = 1024;
        while (frames > 0) {
            {
                std::unique_lock lock(m_mutex);
                if (!m_running && !m_interrupted && m_streamStarted) {
                    // Paused: the streaming thread itself stops the device
                    // (PortAudio calls on one stream stay on one thread).
                    Pa_StopStream(m_stream.get()); // plays out what is queued
                    m_streamStarted = false;
                }
                m_wake.wait(lock, [&] { return m_interrupted || m_running; });
                if (m_interrupted)
                    return false;
                if (!m_streamStarted) {
                    if (Pa_StartStream(m_stream.get()) != paNoError) {
                        m_failed = true;
                        return false;
                    }
                    m_streamStarted = true;
                }
            }
            const std::int64_t n = std::min(frames, kPiece);
            const PaError err = Pa_WriteStream(m_stream.get(), samples, static_cast<unsigned long>(n));
            if (err != paNoError && err != paOutputUnderflowed) {
                std::lock_guard lock(m_mutex);
                m_failed = true;
                return false;
            }
            {
                std::lock_guard lock(m_mutex);
                m_written += n;
            }
            samples += n * m_channels;
            frames -= n;
        }
        return true;
    }

    bool Drain() override
    {
        std::unique_lock lock(m_mutex);
        const auto deadline = Clock::now() + std::chrono::duration<double>(
                                                 static_cast<double>(m_latency) / m_rate + 0.01);
        m_wake.wait_until(lock, deadline, [&] { return m_interrupted; });
        if (m_interrupted)
            return false;
        m_drained = true;
        return true;
    }

    void Pause() override
    {
        std::lock_guard lock(m_mutex);
        m_running = false;
    }

    void Resume() override
    {
        std::lock_guard lock(m_mutex);
        m_running = true;
        m_interrupted = false;
        m_wake.notify_all();
    }

    void Flush() override
    {
        std::lock_guard lock(m_mutex);
        if (m_streamStarted) {
            Pa_AbortStream(m_stream.get());
            m_streamStarted = false;
        }
        m_written = 0;
        m_drained = false;
        m_interrupted = false;
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
        if (m_drained || !m_streamStarted)
            return m_written;
        return std::max<std::int64_t>(0, m_written - m_latency);
    }

    bool Failed() const override
    {
        std::lock_guard lock(m_mutex);
        return m_failed;
    }

    std::string Name() const override { return m_name; }

private:
    explicit PortAudioOutput(const AudioFormat& format)
        : m_rate(format.sampleRate)
        , m_channels(format.channels)
    {
    }

    const int m_rate;
    const int m_channels;
    std::unique_ptr<PaStream, StreamCloser> m_stream;
    std::string m_name;
    std::int64_t m_latency = 0;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_running = false;
    bool m_interrupted = false;
    bool m_streamStarted = false;
    bool m_drained = false;
    bool m_failed = false;
    std::int64_t m_written = 0;
};

} // namespace

std::unique_ptr<IAudioOutput> OpenPortAudioOutput(const AudioFormat& format)
{
    if (!EnsureBackend())
        return nullptr;
    return PortAudioOutput::Open(format);
}

void ShutdownPortAudio()
{
    std::lock_guard lock(g_backendMutex);
    if (g_backendReady)
        Pa_Terminate();
    g_backendReady = false;
    g_backendTried = false;
}
