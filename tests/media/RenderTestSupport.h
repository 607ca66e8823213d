#pragma once
// Shared by the render, join and split-engine tests: an in-memory PCM
// source for the stage tests, running a graph to its end with a deadline,
// and the comparisons the tests make on decoded audio.

#include "media/graph/FilterGraph.h"
#include "media/graph/PcmReader.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Interleaved samples held in memory, read like a decoder.
class MemoryReader final : public IPcmReader {
public:
    MemoryReader(AudioFormat format, std::vector<float> samples) : m_format(format), m_samples(std::move(samples)) {}
    AudioFormat Format() const override { return m_format; }
    std::int64_t LengthFrames() const override { return std::int64_t(m_samples.size()) / m_format.channels; }
    bool Seek(std::int64_t frame) override
    {
        if (frame < 0 || frame > LengthFrames())
            return false;
        m_position = frame;
        return true;
    }
    std::int64_t Tell() const override { return m_position; }
    std::int64_t Read(float* out, std::int64_t frames) override
    {
        const std::int64_t n = std::min(frames, LengthFrames() - m_position);
        std::copy_n(m_samples.begin() + m_position * m_format.channels, n * m_format.channels, out);
        m_position += n;
        return n;
    }
    std::string Error() const override { return {}; }
    // Pretends the data ends early (a file cut short while being read).
    void Truncate(std::int64_t frames) { m_samples.resize(std::size_t(frames * m_format.channels)); }

private:
    AudioFormat m_format;
    std::vector<float> m_samples;
    std::int64_t m_position = 0;
};

// Everything a reader delivers, in blocks of `block` frames; fails the
// test on a read error.
inline std::vector<float> ReadAll(IPcmReader& reader, std::int64_t block = 4096)
{
    std::vector<float> all;
    std::vector<float> buffer(std::size_t(block * reader.Format().channels));
    for (;;) {
        const std::int64_t got = reader.Read(buffer.data(), block);
        if (got <= 0) {
            if (got < 0)
                throw std::runtime_error("read failed: " + reader.Error());
            return all;
        }
        all.insert(all.end(), buffer.begin(), buffer.begin() + got * reader.Format().channels);
    }
}

// Runs a graph until it ends; returns the event code (0 when the deadline
// passed first).
inline long RunToEnd(IMediaControl& control, IMediaEvent& events, std::chrono::seconds deadline = std::chrono::seconds(120))
{
    // A run that cannot start ends at once in an event, which the wait sees.
    (void)control.Run();
    const auto until = std::chrono::steady_clock::now() + deadline;
    long code = 0;
    while (code == 0 && std::chrono::steady_clock::now() < until) {
        if (events.WaitForCompletion(250, &code) == VFW_E_WRONG_STATE)
            break; // stopped, and never to end by itself
    }
    return code;
}

// Normalised correlation of channel `channel` of `a` (from frame aStart)
// and `b` (from bStart) over `frames` frames.
inline double Correlation(const std::vector<float>& a, int aChannels, std::int64_t aStart,
                          const std::vector<float>& b, int bChannels, std::int64_t bStart,
                          std::int64_t frames, int channel = 0)
{
    double ab = 0, aa = 0, bb = 0;
    for (std::int64_t i = 0; i < frames; ++i) {
        const double x = a[std::size_t((aStart + i) * aChannels + channel)];
        const double y = b[std::size_t((bStart + i) * bChannels + channel)];
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    return (aa > 0 && bb > 0) ? ab / std::sqrt(aa * bb) : 0.0;
}

// The lag in [-maxLag, maxLag] at which `b` best matches `a`.
inline int BestLag(const std::vector<float>& a, int aChannels, std::int64_t aStart, const std::vector<float>& b,
                   int bChannels, std::int64_t bStart, std::int64_t frames, int maxLag, double* best = nullptr)
{
    int bestLag = 0;
    double bestValue = -2;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        const double c = Correlation(a, aChannels, aStart, b, bChannels, bStart + lag, frames);
        if (c > bestValue) {
            bestValue = c;
            bestLag = lag;
        }
    }
    if (best)
        *best = bestValue;
    return bestLag;
}

inline std::vector<unsigned char> ReadBytes(const std::string& path, std::size_t count)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes(count);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(count));
    bytes.resize(std::size_t(in.gcount()));
    return bytes;
}
