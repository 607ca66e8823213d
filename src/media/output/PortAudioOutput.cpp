#include "media/output/OutputBackends.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <vector>

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

// How long the device may take no audio at all, while playing, before it
// counts as failed. Long: an idle PulseAudio null sink takes up to 2 s to
// take up a stream that starts.
constexpr auto kDeviceStallLimit = std::chrono::seconds(5);
// What is decoded ahead of the device, and what it still plays after a
// pause, are kept in a ring of this length.
constexpr double kRingSeconds = 0.5;
// The device buffer asked for (unless the device's least is more): what a
// seek waits for before it is heard, and what still plays after a pause.
// Not less: with 35-40 ms, ALSA's PulseAudio plugin on a server rendering
// in 10 ms blocks falls into endless underflows at many rates (22.05, 32
// and 48 kHz), taking audio at several times real time.
constexpr double kDeviceLatencySeconds = 0.06;

// The default output device, fed by PortAudio's callback from a ring of
// our own. Once started, the device stream runs until the output is closed,
// playing silence while stopped, paused or starved: a sound server may take
// a while to take up a stream that starts (an idle PulseAudio null sink has
// rendered up to 2 s ahead, which a new stream waits for), and PortAudio
// starting a stopped stream makes ALSA's PulseAudio plugin connect a new
// one. So neither a stop, a pause nor a seek stops the device. Stop and a
// seek drop what the ring holds; Stop and a pause take back what the device
// has been given but not yet played, so Run goes on from exactly what was
// heard.
//
// Frame counts (written, handed to the device, heard) restart at 0 with
// every Flush. The heard count comes from when PortAudio says each buffer
// reaches the speaker (outputBufferDacTime).
class PortAudioOutput final : public IAudioOutput {
public:
    static std::unique_ptr<PortAudioOutput> Open(const AudioFormat& format)
    {
        auto output = std::unique_ptr<PortAudioOutput>(new PortAudioOutput(format));
        StderrSilencer quiet;
        PaStreamParameters parameters{};
        parameters.device = Pa_GetDefaultOutputDevice();
        const PaDeviceInfo* device = Pa_GetDeviceInfo(parameters.device);
        if (!device)
            return nullptr;
        parameters.channelCount = format.channels;
        parameters.sampleFormat = paFloat32;
        parameters.suggestedLatency = std::max(kDeviceLatencySeconds, device->defaultLowOutputLatency);
        PaStream* raw = nullptr;
        if (Pa_OpenStream(&raw, nullptr, &parameters, format.sampleRate, paFramesPerBufferUnspecified, paNoFlag,
                          &PortAudioOutput::Callback, output.get()) != paNoError)
            return nullptr;
        output->m_stream.reset(raw);
        const PaStreamInfo* info = Pa_GetStreamInfo(raw);
        output->m_latency = info && info->outputLatency > 0 ? info->outputLatency : parameters.suggestedLatency;
        output->m_name = std::string("PortAudio: ") + (device->name ? device->name : "default");
        return output;
    }

    ~PortAudioOutput() override
    {
        m_stream.reset(); // no callback may run once the members go
    }

    bool Write(const float* samples, std::int64_t frames) override
    {
        std::unique_lock lock(m_mutex);
        while (frames > 0) {
            if (m_interrupted || m_failed)
                return false;
            const std::int64_t room = m_capacity - (m_written - m_kept);
            if (room <= 0) {
                if (DeviceStalledLocked()) {
                    m_failed = true;
                    return false;
                }
                m_wake.wait_for(lock, std::chrono::milliseconds(100));
                continue;
            }
            const std::int64_t n = std::min(frames, room);
            CopyIntoRingLocked(samples, n);
            samples += n * m_channels;
            frames -= n;
        }
        return true;
    }

    bool Drain() override
    {
        std::unique_lock lock(m_mutex);
        while (!m_interrupted) {
            if (HeardLocked(Clock::now()) >= m_written || DeviceStalledLocked() || m_failed) {
                m_drained = true;
                return true;
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(5));
        }
        return false;
    }

    void Pause() override
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_running) {
                // What the device holds beyond this plays out, but counts as
                // not heard: Run plays it again from here.
                const std::int64_t heard = HeardLocked(Clock::now());
                m_running = false;
                m_heardBase = heard;
                m_next = heard;
                m_kept = heard;
                m_handed.clear();
                m_wake.notify_all();
            }
        }
        StartDevice(); // cued: the device is running when Run comes
    }

    void Resume() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_running = true;
            m_interrupted = false;
            m_wake.notify_all();
        }
        StartDevice();
    }

    void Flush() override
    {
        std::lock_guard lock(m_mutex);
        ResetCountsLocked();
        m_interrupted = false;
        m_wake.notify_all();
    }

    void Stop() override
    {
        // The device goes on playing silence (see the class comment).
        std::lock_guard lock(m_mutex);
        m_running = false;
        ResetCountsLocked();
        m_interrupted = false;
        m_wake.notify_all();
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
        return m_drained ? m_written : HeardLocked(Clock::now());
    }

    bool Failed() const override
    {
        std::lock_guard lock(m_mutex);
        return m_failed;
    }

    std::string Name() const override { return m_name; }

private:
    // A buffer given to the device: from `start` on it plays `count` of our
    // frames from `first`, then silence.
    struct Handed {
        Clock::time_point start;
        std::int64_t first;
        std::int64_t count;
    };

    struct StreamCloser {
        void operator()(PaStream* stream) const
        {
            Pa_AbortStream(stream);
            Pa_CloseStream(stream);
        }
    };

    explicit PortAudioOutput(const AudioFormat& format)
        : m_rate(format.sampleRate)
        , m_channels(format.channels)
        , m_capacity(std::max<std::int64_t>(1, static_cast<std::int64_t>(format.sampleRate * kRingSeconds)))
        , m_ring(static_cast<std::size_t>(m_capacity) * format.channels)
    {
    }

    static int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                        PaStreamCallbackFlags, void* self)
    {
        static_cast<PortAudioOutput*>(self)->Fill(static_cast<float*>(output), static_cast<std::int64_t>(frames),
                                                  time);
        return paContinue;
    }

    void Fill(float* out, std::int64_t frames, const PaStreamCallbackTimeInfo* time)
    {
        const auto now = Clock::now();
        // When this buffer reaches the speaker; the stream's latency when
        // the host does not say.
        double delay = time ? time->outputBufferDacTime - time->currentTime : -1.0;
        if (!(delay >= 0.0 && delay < 10.0))
            delay = m_latency;
        std::lock_guard lock(m_mutex);
        m_lastCallback = now;
        const std::int64_t count = m_running ? std::min(frames, m_written - m_next) : 0;
        for (std::int64_t done = 0; done < count;) {
            const std::int64_t at = (m_next + done) % m_capacity;
            const std::int64_t n = std::min(count - done, m_capacity - at);
            std::copy_n(m_ring.data() + at * m_channels, n * m_channels, out + done * m_channels);
            done += n;
        }
        std::fill(out + count * m_channels, out + frames * m_channels, 0.0f);
        if (count > 0) {
            const auto start = now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(delay));
            m_handed.push_back({start, m_next, count});
            m_next += count;
        }
        // Only the latest buffer already playing is needed to tell what has
        // been heard; what was heard before it may be overwritten.
        while (m_handed.size() > 1 && m_handed[1].start <= now)
            m_handed.pop_front();
        m_kept = HeardLocked(now);
        m_wake.notify_all();
    }

    std::int64_t HeardLocked(Clock::time_point now) const
    {
        std::int64_t heard = m_heardBase;
        if (!m_running)
            return heard;
        for (const Handed& buffer : m_handed) {
            if (buffer.start > now)
                break;
            const double played = std::chrono::duration<double>(now - buffer.start).count() * m_rate;
            heard = buffer.first + std::min(buffer.count, static_cast<std::int64_t>(played));
        }
        return heard;
    }

    void CopyIntoRingLocked(const float* samples, std::int64_t frames)
    {
        for (std::int64_t done = 0; done < frames;) {
            const std::int64_t at = (m_written + done) % m_capacity;
            const std::int64_t n = std::min(frames - done, m_capacity - at);
            std::copy_n(samples + done * m_channels, n * m_channels, m_ring.data() + at * m_channels);
            done += n;
        }
        m_written += frames;
    }

    void ResetCountsLocked()
    {
        m_written = m_next = m_kept = m_heardBase = 0;
        m_handed.clear();
        m_drained = false;
    }

    bool DeviceStalledLocked() const
    {
        return m_running && m_deviceStarted && Clock::now() - m_lastCallback > kDeviceStallLimit;
    }

    // Control thread only (Pause, Resume).
    void StartDevice()
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_deviceStarted || m_failed)
                return;
        }
        const bool started = Pa_StartStream(m_stream.get()) == paNoError;
        std::lock_guard lock(m_mutex);
        m_deviceStarted = started;
        m_failed = !started;
        m_lastCallback = Clock::now();
        m_wake.notify_all();
    }

    const int m_rate;
    const int m_channels;
    const std::int64_t m_capacity; // frames
    std::vector<float> m_ring;
    std::unique_ptr<PaStream, StreamCloser> m_stream;
    std::string m_name;
    double m_latency = 0.0; // seconds

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_running = false;
    bool m_deviceStarted = false;
    bool m_interrupted = false;
    bool m_drained = false;
    bool m_failed = false;
    std::int64_t m_written = 0;   // frames put into the ring
    std::int64_t m_next = 0;      // the next frame to give the device
    std::int64_t m_kept = 0;      // frames before this have been heard
    std::int64_t m_heardBase = 0; // heard when nothing given since is playing yet
    std::deque<Handed> m_handed;
    Clock::time_point m_lastCallback = Clock::now();
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
