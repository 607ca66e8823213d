// Coding quality of MP3 encodes against their source, block by block.
//
//   mp3-quality SOURCE.wav SINGLE.mp3 PARALLEL.mp3 SEGMENT_FRAMES
//
// Decodes both MP3s with libmpg123 (gapless) and compares them with the
// source: the SNR of every 576-sample block (all channels), its mean and its
// worst 0.1 %, for the single encoder's file and the one encoded on several
// threads; then the same over the blocks around each place where a segment
// encoder takes over (within a few frames after every SEGMENT_FRAMES frames),
// as the difference between the two files. It also checks that both decode
// to the source's length and that libmpg123 reported no error.
// Built by bench/run.sh; not part of the program.

#include <mpg123.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kBlock = 576;
constexpr int kFrame = 1152;
constexpr int kJoinWindowFrames = 24; // from the segment start: the pre-roll and every frame a join may fall on

struct Audio {
    std::vector<float> samples; // interleaved
    int channels = 0;
    long rate = 0;
    long errors = 0;
};

Audio ReadWav(const char* path)
{
    Audio audio;
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file) {
        std::fprintf(stderr, "cannot open %s\n", path);
        std::exit(2);
    }
    audio.channels = info.channels;
    audio.rate = info.samplerate;
    audio.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    return audio;
}

Audio DecodeMp3(const char* path)
{
    Audio audio;
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    mpg123_param(mh, MPG123_FLAGS, MPG123_GAPLESS | MPG123_FORCE_FLOAT, 0.0);
    if (mpg123_open(mh, path) != MPG123_OK) {
        std::fprintf(stderr, "cannot open %s\n", path);
        std::exit(2);
    }
    int encoding = 0;
    mpg123_getformat(mh, &audio.rate, &audio.channels, &encoding);
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        std::size_t done = 0;
        const int result = mpg123_read(mh, buffer.data(), buffer.size(), &done);
        const auto* f = reinterpret_cast<const float*>(buffer.data());
        audio.samples.insert(audio.samples.end(), f, f + done / sizeof(float));
        if (result == MPG123_DONE)
            break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            ++audio.errors;
            if (result == MPG123_ERR)
                break;
        }
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    return audio;
}

// SNR in dB of each block; silent blocks of the source are left out (NaN).
std::vector<double> BlockSnr(const Audio& source, const Audio& coded)
{
    const std::size_t frames = std::min(source.samples.size(), coded.samples.size()) / source.channels;
    std::vector<double> snr;
    for (std::size_t b = 0; b + kBlock <= frames; b += kBlock) {
        double signal = 0, noise = 0;
        for (std::size_t i = b * source.channels; i < (b + kBlock) * source.channels; ++i) {
            const double s = source.samples[i], d = coded.samples[i] - s;
            signal += s * s;
            noise += d * d;
        }
        snr.push_back(signal < 1e-6 ? NAN : 10 * std::log10(signal / std::max(noise, 1e-20)));
    }
    return snr;
}

struct Figures {
    double mean = 0, worst = 0;
};

Figures Summarise(std::vector<double> values)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return std::isnan(v); }), values.end());
    Figures f;
    if (values.empty())
        return f;
    for (double v : values)
        f.mean += v;
    f.mean /= values.size();
    std::sort(values.begin(), values.end());
    f.worst = values[values.size() / 1000]; // the worst 0.1 %
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s SOURCE.wav SINGLE.mp3 PARALLEL.mp3 SEGMENT_FRAMES\n", argv[0]);
        return 2;
    }
    mpg123_init();
    const Audio source = ReadWav(argv[1]);
    const Audio single = DecodeMp3(argv[2]);
    const Audio parallel = DecodeMp3(argv[3]);
    const long segmentFrames = std::atol(argv[4]);
    const auto snrSingle = BlockSnr(source, single);
    const auto snrParallel = BlockSnr(source, parallel);
    const Figures s = Summarise(snrSingle), p = Summarise(snrParallel);

    // Blocks where a later segment's encoder takes over.
    std::vector<double> joinSingle, joinParallel, joinDrop;
    std::vector<bool> atJoin(snrParallel.size());
    const long blocksPerFrame = kFrame / kBlock;
    for (long start = segmentFrames; segmentFrames > 0; start += segmentFrames) {
        const long first = start * blocksPerFrame, end = (start + kJoinWindowFrames) * blocksPerFrame;
        if (end >= static_cast<long>(snrParallel.size()))
            break;
        for (long b = first; b < end; ++b) {
            if (std::isnan(snrSingle[b]))
                continue;
            joinSingle.push_back(snrSingle[b]);
            joinParallel.push_back(snrParallel[b]);
            joinDrop.push_back(snrSingle[b] - snrParallel[b]);
            atJoin[b] = true;
        }
    }
    // How much the two encodes differ elsewhere, for comparison: after a
    // join the encoders' reservoirs differ for a while, which moves single
    // blocks either way.
    std::vector<double> otherDrop;
    for (std::size_t b = 0; b < snrParallel.size(); ++b)
        if (!atJoin[b] && !std::isnan(snrSingle[b]))
            otherDrop.push_back(snrSingle[b] - snrParallel[b]);
    const double otherWorstDrop = otherDrop.empty() ? 0 : *std::max_element(otherDrop.begin(), otherDrop.end());
    auto mean = [](const std::vector<double>& v) {
        double sum = 0;
        for (double x : v)
            sum += x;
        return v.empty() ? 0 : sum / v.size();
    };
    const Figures js = Summarise(joinSingle), jp = Summarise(joinParallel);
    const double worstDrop = joinDrop.empty() ? 0 : *std::max_element(joinDrop.begin(), joinDrop.end());
    const std::size_t expected = source.samples.size();
    std::printf("%-34s %10s %10s\n", "SNR of 576-sample blocks (dB)", "single", "parallel");
    std::printf("%-34s %10.2f %10.2f\n", "mean, all blocks", s.mean, p.mean);
    std::printf("%-34s %10.2f %10.2f\n", "worst 0.1 %, all blocks", s.worst, p.worst);
    std::printf("%-34s %10.2f %10.2f\n", "mean, blocks at the joins", js.mean, jp.mean);
    std::printf("%-34s %10.2f %10.2f\n", "worst 0.1 %, blocks at the joins", js.worst, jp.worst);
    std::printf("drop single -> parallel, blocks at the joins: mean %.3f dB, largest %.2f dB (%zu blocks)\n",
                mean(joinDrop), worstDrop, joinDrop.size());
    std::printf("drop single -> parallel, other blocks:        mean %.3f dB, largest %.2f dB (%zu blocks)\n",
                mean(otherDrop), otherWorstDrop, otherDrop.size());
    std::printf("decoded length: single %s, parallel %s; libmpg123 errors: %ld, %ld\n",
                single.samples.size() == expected ? "exact" : "WRONG",
                parallel.samples.size() == expected ? "exact" : "WRONG", single.errors, parallel.errors);
    const bool ok = single.samples.size() == expected && parallel.samples.size() == expected &&
                    parallel.errors == 0 && std::abs(s.mean - p.mean) <= 0.3 && std::abs(s.worst - p.worst) <= 3;
    std::printf("quality: %s (mean within 0.3 dB, worst 0.1 %% within 3 dB)\n", ok ? "pass" : "miss");
    return ok ? 0 : 1;
}
