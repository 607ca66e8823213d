#include "Alignment.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

using Complex = std::complex<double>;

void Fft(std::vector<Complex>& a, bool inverse)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = 2 * std::numbers::pi / double(len) * (inverse ? 1 : -1);
        const Complex step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            Complex w(1);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const Complex u = a[i + k];
                const Complex v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
    if (inverse)
        for (Complex& x : a)
            x /= double(n);
}

double Mix(const Audio& audio, std::int64_t frame)
{
    double sum = 0;
    for (int c = 0; c < audio.channels; ++c)
        sum += audio.samples[std::size_t(frame * audio.channels + c)];
    return sum / audio.channels;
}

double ToDb(double ratio) { return ratio > 0 ? 20 * std::log10(ratio) : -200.0; }

} // namespace

Match Locate(const Audio& recording, std::int64_t from, std::int64_t to, const Audio& source,
             std::int64_t sourceFrame, std::int64_t frames)
{
    from = std::max<std::int64_t>(0, from);
    to = std::min(to, recording.Frames());
    frames = std::min(frames, source.Frames() - sourceFrame);
    if (frames <= 0 || to - from < frames)
        return {};
    const std::int64_t span = to - from;
    std::size_t size = 1;
    while (size < std::size_t(span + frames))
        size <<= 1;
    std::vector<Complex> rec(size), piece(size);
    for (std::int64_t i = 0; i < span; ++i)
        rec[std::size_t(i)] = Mix(recording, from + i);
    double pieceEnergy = 0;
    for (std::int64_t i = 0; i < frames; ++i) {
        const double x = Mix(source, sourceFrame + i);
        piece[std::size_t(i)] = x;
        pieceEnergy += x * x;
    }
    Fft(rec, false);
    Fft(piece, false);
    for (std::size_t i = 0; i < size; ++i)
        rec[i] *= std::conj(piece[i]);
    Fft(rec, true);

    // Energy of every recording window, from running sums.
    std::vector<double> energy(std::size_t(span) + 1, 0.0);
    for (std::int64_t i = 0; i < span; ++i) {
        const double x = Mix(recording, from + i);
        energy[std::size_t(i) + 1] = energy[std::size_t(i)] + x * x;
    }
    Match best;
    for (std::int64_t lag = 0; lag + frames <= span; ++lag) {
        const double windowEnergy = energy[std::size_t(lag + frames)] - energy[std::size_t(lag)];
        if (windowEnergy < 1e-3 * pieceEnergy)
            continue; // silence, or nearly: no match there
        const double ncc = rec[std::size_t(lag)].real() / std::sqrt(windowEnergy * pieceEnergy);
        if (ncc > best.correlation) {
            best.correlation = ncc;
            best.recordingFrame = from + lag;
        }
    }
    return best;
}

Likeness Compare(const Audio& recording, std::int64_t recordingFrame, const Audio& source, std::int64_t sourceFrame,
                 std::int64_t frames)
{
    frames = std::min({frames, recording.Frames() - recordingFrame, source.Frames() - sourceFrame});
    if (frames <= 0 || recordingFrame < 0)
        return {};
    double cross = 0, recEnergy = 0, srcEnergy = 0;
    const std::size_t count = std::size_t(frames) * std::size_t(source.channels);
    const float* rec = recording.samples.data() + recordingFrame * recording.channels;
    const float* src = source.samples.data() + sourceFrame * source.channels;
    for (std::size_t i = 0; i < count; ++i) {
        cross += double(rec[i]) * src[i];
        recEnergy += double(rec[i]) * rec[i];
        srcEnergy += double(src[i]) * src[i];
    }
    Likeness result;
    result.correlation = recEnergy > 0 && srcEnergy > 0 ? cross / std::sqrt(recEnergy * srcEnergy) : 0.0;
    result.levelDb = ToDb(std::sqrt(recEnergy / std::max(srcEnergy, 1e-30)));
    result.sourceRmsDbfs = ToDb(std::sqrt(srcEnergy / double(count)));
    return result;
}

std::int64_t FindSilence(const Audio& recording, std::int64_t from, std::int64_t window, double floorDbfs)
{
    const double floor = std::pow(10.0, floorDbfs / 20);
    std::int64_t quiet = 0;
    for (std::int64_t i = std::max<std::int64_t>(0, from); i < recording.Frames(); ++i) {
        bool silent = true;
        for (int c = 0; c < recording.channels && silent; ++c)
            silent = std::fabs(recording.samples[std::size_t(i * recording.channels + c)]) < floor;
        quiet = silent ? quiet + 1 : 0;
        if (quiet == window)
            return i - window + 1;
    }
    return -1;
}

std::int64_t FindSound(const Audio& recording, std::int64_t from, double floorDbfs)
{
    const double floor = std::pow(10.0, floorDbfs / 20);
    const std::size_t begin = std::size_t(std::max<std::int64_t>(0, from) * recording.channels);
    for (std::size_t i = begin; i < recording.samples.size(); ++i)
        if (std::fabs(recording.samples[i]) >= floor)
            return std::int64_t(i) / recording.channels;
    return -1;
}

Continuity CheckContinuity(const Audio& recording, std::int64_t recordingFrame, const Audio& source,
                           std::int64_t sourceFrame, std::int64_t frames)
{
    const std::int64_t window = source.sampleRate / 50; // 20 ms
    Continuity result;
    for (std::int64_t at = 0; at + window <= frames; at += window) {
        ++result.windows;
        if (Compare(recording, recordingFrame + at, source, sourceFrame + at, window).correlation >= 0.99)
            continue;
        if (result.mismatched++ == 0)
            result.firstMismatch = double(at) / source.sampleRate;
    }
    return result;
}
