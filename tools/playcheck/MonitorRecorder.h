#pragma once
// Records a sound server's source (a sink's monitor) with `parec` into
// memory, noting when each piece arrived, so that a sample of the recording
// can be placed on the steady clock of the program that plays.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class MonitorRecorder {
public:
    using Clock = std::chrono::steady_clock;
    struct Piece {
        Clock::time_point arrival;
        std::int64_t endFrame; // frames recorded once this piece arrived
    };

    // Throws std::runtime_error when parec cannot be started.
    MonitorRecorder(const std::string& source, int sampleRate, int channels, int latencyMs);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Ends the recording; the members below are complete afterwards.
    void Stop();
    std::int64_t FramesSoFar() const;

    // The steady-clock time at which frame 0 was played by the sink: frame n
    // played at Origin() + n / rate. A null sink renders a block from its
    // clock's "now" on and hands it to the monitor at once, so a piece
    // arrives as its first frame is played. While a stream plays the sink
    // renders in blocks of a few milliseconds, one piece each, and most
    // pieces imply the same origin to the millisecond; the others arrive
    // early (an idle null sink renders up to 2 s ahead) or late (the reader
    // was held up and took several blocks at once). The most common implied
    // origin is taken.
    Clock::time_point Origin() const;
    std::size_t Pieces() const { return m_pieces.size(); }

    const std::vector<float>& Samples() const { return m_samples; }
    int Channels() const { return m_channels; }
    int SampleRate() const { return m_rate; }

private:
    void ReadLoop();
    std::vector<double> ImpliedOrigins() const;

    const int m_rate;
    const int m_channels;
    int m_pid = -1;
    int m_fd = -1;
    std::thread m_reader;
    std::vector<float> m_samples;
    std::vector<Piece> m_pieces;
    std::atomic<std::int64_t> m_frames{0};
    Clock::time_point m_started;
    Clock::time_point m_lastRead;
};
