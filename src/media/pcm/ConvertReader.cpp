// Sample-rate and channel conversion of a reader. Channels are reduced
// before the resampler and multiplied after it, so libsoxr always works on
// the smaller channel count. The output length is fixed up front,
// round(n * outRate / inRate): the resampler is flushed at the end of the
// input and its output padded or trimmed to that count, so a converted piece
// lines up sample-exactly with its neighbours in a concatenation.

#include "media/pcm/PcmStages.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
// 128-bit products keep the rounding exact; a GNU extension.
__extension__ typedef __int128 Int128;
} // namespace

std::int64_t ConvertedLength(std::int64_t frames, int fromRate, int toRate)
{
    if (frames < 0 || fromRate <= 0 || toRate <= 0)
        return -1;
    if (fromRate == toRate)
        return frames;
    // Exact integer rounding of frames * toRate / fromRate (half away from zero).
    const Int128 scaled = static_cast<Int128>(frames) * toRate * 2 + fromRate;
    return static_cast<std::int64_t>(scaled / (2 * static_cast<Int128>(fromRate)));
}

namespace {

constexpr std::int64_t kBlockFrames = 4096;

struct SoxrDeleter {
    void operator()(soxr_t handle) const { soxr_delete(handle); }
};
using SoxrHandle = std::unique_ptr<std::remove_pointer_t<soxr_t>, SoxrDeleter>;

// Interleaved channel mapping: mono <-> stereo, anything wider folded to
// stereo (even channels left, odd right) or averaged to mono.
void MapChannels(const float* in, int inChannels, float* out, int outChannels, std::int64_t frames)
{
    if (inChannels == outChannels) {
        std::memcpy(out, in, sizeof(float) * frames * inChannels);
        return;
    }
    for (std::int64_t f = 0; f < frames; ++f) {
        const float* src = in + f * inChannels;
        float* dst = out + f * outChannels;
        if (outChannels == 1) {
            float sum = 0;
            for (int c = 0; c < inChannels; ++c)
                sum += src[c];
            dst[0] = sum / inChannels;
        } else if (inChannels == 1) {
            for (int c = 0; c < outChannels; ++c)
                dst[c] = src[0];
        } else {
            // Wider than stereo: fold to two channels, silence any further ones.
            float left = 0, right = 0;
            int nLeft = 0, nRight = 0;
            for (int c = 0; c < inChannels; ++c) {
                if (c % 2 == 0) { left += src[c]; ++nLeft; }
                else { right += src[c]; ++nRight; }
            }
            dst[0] = left / std::max(1, nLeft);
            dst[1] = right / std::max(1, nRight);
            for (int c = 2; c < outChannels; ++c)
                dst[c] = 0;
        }
    }
}

class CConvertReader final : public IPcmReader {
public:
    CConvertReader(std::shared_ptr<IPcmReader> source, const AudioFormat& target)
        : m_source(std::move(source)), m_in(m_source->Format()), m_out(target)
    {
        m_workChannels = std::min(m_in.channels, m_out.channels);
        m_length = ConvertedLength(m_source->LengthFrames(), m_in.sampleRate, m_out.sampleRate);
        m_inBlock.resize(kBlockFrames * m_in.channels);
        m_work.resize(kBlockFrames * m_workChannels);
        m_resampled.resize(kBlockFrames * m_workChannels);
        if (m_in.sampleRate != m_out.sampleRate) {
            const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
            const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
            const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
            soxr_error_t error = nullptr;
            m_soxr.reset(soxr_create(m_in.sampleRate, m_out.sampleRate, m_workChannels, &error, &io, &quality,
                                     &runtime));
            if (error || !m_soxr) {
                m_error = std::string("cannot set up the sample-rate converter: ") + (error ? error : "?");
                m_broken = true;
            }
        }
    }

    AudioFormat Format() const override { return m_out; }
    std::int64_t LengthFrames() const override { return m_length; }
    std::int64_t Tell() const override { return m_position; }
    std::string Error() const override { return m_error; }

    bool Seek(std::int64_t frame) override
    {
        if (frame < 0 || (m_length >= 0 && frame > m_length))
            return false;
        const std::int64_t sourceFrame = ConvertedLength(frame, m_out.sampleRate, m_in.sampleRate);
        if (!m_source->Seek(sourceFrame)) {
            m_error = m_source->Error();
            return false;
        }
        if (m_soxr)
            soxr_clear(m_soxr.get());
        m_position = frame;
        m_pendingFrames = m_pendingOffset = 0;
        m_sourceEnded = m_flushed = false;
        return true;
    }

    std::int64_t Read(float* out, std::int64_t frames) override
    {
        if (m_broken)
            return -1;
        if (m_length >= 0)
            frames = std::min(frames, m_length - m_position);
        std::int64_t done = 0;
        while (done < frames) {
            const std::int64_t got = Produce(m_resampled.data(), std::min(frames - done, kBlockFrames));
            if (got < 0)
                return -1;
            if (got == 0) {
                if (m_length < 0)
                    break;
                // The resampler gave its last sample short of the exact
                // length: the rest is the tail of its filter, i.e. silence.
                const std::int64_t pad = frames - done;
                std::fill(out + done * m_out.channels, out + frames * m_out.channels, 0.0f);
                done += pad;
                break;
            }
            MapChannels(m_resampled.data(), m_workChannels, out + done * m_out.channels, m_out.channels, got);
            done += got;
        }
        m_position += done;
        return done;
    }

private:
    // Up to `frames` frames at the output rate in the work channel count;
    // 0 when everything has been delivered.
    std::int64_t Produce(float* dst, std::int64_t frames)
    {
        if (!m_soxr) {
            const std::int64_t got = FillWork(frames);
            if (got <= 0)
                return got;
            std::memcpy(dst, m_work.data(), sizeof(float) * got * m_workChannels);
            m_pendingFrames = 0;
            return got;
        }
        for (;;) {
            if (m_pendingFrames == 0 && !m_sourceEnded) {
                const std::int64_t got = FillWork(kBlockFrames);
                if (got < 0)
                    return -1;
                if (got == 0)
                    m_sourceEnded = true;
            }
            if (m_flushed)
                return 0;
            size_t used = 0, made = 0;
            const float* in = m_pendingFrames ? m_work.data() + m_pendingOffset * m_workChannels : nullptr;
            // A null input tells libsoxr the input is over: it then drains.
            const soxr_error_t error = soxr_process(m_soxr.get(), in, static_cast<size_t>(m_pendingFrames), &used,
                                                    dst, static_cast<size_t>(frames), &made);
            if (error) {
                m_error = std::string("sample-rate conversion failed: ") + error;
                return -1;
            }
            m_pendingOffset += static_cast<std::int64_t>(used);
            m_pendingFrames -= static_cast<std::int64_t>(used);
            if (made > 0)
                return static_cast<std::int64_t>(made);
            if (!in && m_sourceEnded)
                m_flushed = true;
        }
    }

    // Reads up to `frames` source frames into m_work (work channel count).
    std::int64_t FillWork(std::int64_t frames)
    {
        const std::int64_t got = m_source->Read(m_inBlock.data(), frames);
        if (got < 0) {
            m_error = m_source->Error();
            return -1;
        }
        MapChannels(m_inBlock.data(), m_in.channels, m_work.data(), m_workChannels, got);
        m_pendingFrames = got;
        m_pendingOffset = 0;
        return got;
    }

    std::shared_ptr<IPcmReader> m_source;
    AudioFormat m_in;
    AudioFormat m_out;
    int m_workChannels = 0;
    std::int64_t m_length = -1;
    std::int64_t m_position = 0;
    SoxrHandle m_soxr;
    std::vector<float> m_inBlock;
    std::vector<float> m_work;
    std::vector<float> m_resampled;
    std::int64_t m_pendingFrames = 0;
    std::int64_t m_pendingOffset = 0;
    bool m_sourceEnded = false;
    bool m_flushed = false;
    bool m_broken = false;
    std::string m_error;
};

} // namespace

std::shared_ptr<IPcmReader> MakeConvertReader(std::shared_ptr<IPcmReader> source, const AudioFormat& target)
{
    if (!source || source->Format() == target)
        return source;
    return std::make_shared<CConvertReader>(std::move(source), target);
}
