// The MP3 settings both encoder paths share: which rates MPEG audio has, how
// people write them, and how many threads encode.

#include "media/filters/Mp3Settings.h"

#include <sched.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

std::string HzToKiloHertzText(std::int32_t hz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", hz / 1000.0);
    return text;
}

bool IsMp3SampleRate(std::int32_t hz)
{
    switch (hz) {
    case 8000: case 11025: case 12000:
    case 16000: case 22050: case 24000:
    case 32000: case 44100: case 48000:
        return true;
    default:
        return false;
    }
}

std::int32_t LegalMp3Bitrate(std::int32_t kbps, std::int32_t sampleRate)
{
    static constexpr std::array<int, 14> mpeg1 = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static constexpr std::array<int, 14> mpeg2 = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    const bool isMpeg1 = sampleRate >= 32000;
    const bool isMpeg25 = sampleRate < 16000;
    int best = 0;
    for (int rate : (isMpeg1 ? mpeg1 : mpeg2)) {
        if (isMpeg25 && rate > 64)
            break;
        if (best == 0 || std::abs(rate - kbps) < std::abs(best - kbps))
            best = rate;
    }
    return best;
}

namespace {

std::atomic<int> g_encoderThreads{0};

} // namespace

void SetMp3EncoderThreads(int threads)
{
    g_encoderThreads = std::max(0, threads);
}

int Mp3EncoderThreads()
{
    if (const int set = g_encoderThreads; set > 0)
        return set;
    if (const char* text = std::getenv("TARNWICK_MP3_THREADS"); text && std::atoi(text) > 0)
        return std::atoi(text);
    // The cores this process may run on (taskset narrows them), at most
    // what the machine has.
    int threads = static_cast<int>(std::thread::hardware_concurrency());
    cpu_set_t cpus;
    if (sched_getaffinity(0, sizeof cpus, &cpus) == 0)
        threads = threads > 0 ? std::min(threads, CPU_COUNT(&cpus)) : CPU_COUNT(&cpus);
    return std::max(1, threads);
}
