// The MP3 encoder filter "Lame". Input: float PCM at the output sample rate,
// mono or stereo (the capture graph builder puts a converter in front when
// the stream has another format). Output: MP3 bytes pushed to the writer at
// their file offsets; the stream opens with LAME's placeholder info frame
// (or, where LAME writes none, a placeholder for ours), replaced by the
// finished frame (exact length, encoder delay and padding) when the stream
// ends.

#include "media/filters/LameEncoder.h"

#include "media/decode/InfoFrame.h"
#include "media/filters/LameCalls.h"
#include "media/filters/ParallelMp3Encoder.h"
#include "media/graph/ClassIds.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

class CLameEncoder;

class CEncoderInputPin final : public CPin, public IPcmSink {
public:
    CEncoderInputPin(CLameEncoder& owner);
    HRESULT QueryAccept(const MediaType& type) const override;
    // The formats this input prefers (what a converter in front should make).
    std::vector<MediaType> EnumMediaTypes() const override;
    IPcmSink* PcmSink() override { return this; }
    HRESULT NewSegment(const AudioFormat& format, std::int64_t startFrame) override;
    HRESULT Receive(const float* samples, std::int64_t frames) override;
    HRESULT EndOfStream() override;

private:
    CLameEncoder& m_encoder;
};

class CEncoderOutputPin final : public CPin {
public:
    CEncoderOutputPin(CLameEncoder& owner);
    std::vector<MediaType> EnumMediaTypes() const override;

private:
    CLameEncoder& m_encoder;
};

class CLameEncoder final : public CBaseFilter, public IAudioEncoderProperties {
public:
    CLameEncoder() : CBaseFilter(clsid::LameEncoder)
    {
        m_input = std::make_shared<CEncoderInputPin>(*this);
        m_output = std::make_shared<CEncoderOutputPin>(*this);
        AddPin(m_input);
        AddPin(m_output);
    }

    // Settings.
    HRESULT set_Bitrate(std::int32_t kbps) override
    {
        if (!IsMp3Bitrate(kbps))
            return E_INVALIDARG;
        m_bitrate = kbps;
        return S_OK;
    }
    HRESULT get_Bitrate(std::int32_t* kbps) const override { return Get(kbps, m_bitrate.load()); }
    HRESULT set_SampleRate(std::int32_t hz) override
    {
        if (hz != kSourceSampleRate && !IsMp3SampleRate(hz))
            return E_INVALIDARG;
        m_sampleRate = hz;
        return S_OK;
    }
    HRESULT get_SampleRate(std::int32_t* hz) const override { return Get(hz, m_sampleRate.load()); }
    HRESULT set_ChannelMode(Mp3ChannelMode mode) override
    {
        if (mode != Mp3ChannelMode::Stereo && mode != Mp3ChannelMode::JointStereo && mode != Mp3ChannelMode::Mono)
            return E_INVALIDARG;
        m_mode = mode;
        return S_OK;
    }
    HRESULT get_ChannelMode(Mp3ChannelMode* mode) const override
    {
        if (!mode)
            return E_POINTER;
        *mode = m_mode.load();
        return S_OK;
    }
    HRESULT set_Quality(std::int32_t quality) override
    {
        if (quality < 0 || quality > 9)
            return E_INVALIDARG;
        m_quality = quality;
        return S_OK;
    }
    HRESULT get_Quality(std::int32_t* quality) const override { return Get(quality, m_quality.load()); }
    std::int32_t EffectiveSampleRate() const override
    {
        if (m_sampleRate != kSourceSampleRate)
            return m_sampleRate;
        auto in = m_input;
        return in->IsConnected() ? in->ConnectionMediaType().audio.sampleRate : 0;
    }
    std::int32_t EffectiveBitrate() const override
    {
        const std::int32_t rate = EffectiveSampleRate();
        return LegalMp3Bitrate(m_bitrate, rate ? rate : kDefaultMp3SampleRate);
    }

    std::string Describe() const override
    {
        char text[96];
        static const char* modes[] = {"stereo", "joint stereo", "", "mono"};
        std::snprintf(text, sizeof text, "%d kbps CBR, %d Hz, %s, quality %d", EffectiveBitrate(),
                      EffectiveSampleRate(), modes[static_cast<int>(m_mode.load())], m_quality.load());
        return text;
    }

    // The rate to offer a converter in front: the set one, or for the
    // sources' own rate the common one.
    std::int32_t PreferredSampleRate() const
    {
        return m_sampleRate == kSourceSampleRate ? kDefaultMp3SampleRate : m_sampleRate.load();
    }
    bool AcceptsSampleRate(std::int32_t hz) const
    {
        return m_sampleRate == kSourceSampleRate ? IsMp3SampleRate(hz) : hz == m_sampleRate;
    }
    int OutputChannels(int inputChannels) const
    {
        return (inputChannels == 1 || m_mode == Mp3ChannelMode::Mono) ? 1 : 2;
    }

    HRESULT Stop() override
    {
        // A user stop in mid-stream: finish the MP3 so the kept part plays
        // and knows its length. After a failure the writer refuses the bytes.
        std::lock_guard lock(m_streamMutex);
        if (auto parallel = Parallel(); parallel && !m_ended)
            parallel->Stop();
        if (m_lame && !m_ended) {
            m_quiet = true; // the job is over: nothing more to report
            Finish();
            m_quiet = false;
        }
        m_lame.reset();
        SetParallel(nullptr);
        m_ended = false;
        return S_OK;
    }

    HRESULT Run() override { return S_OK; }

    std::int64_t PlayedFrames() const override
    {
        auto parallel = Parallel();
        return parallel ? parallel->DoneFrames() : -1;
    }

    void Interrupt() override
    {
        if (auto parallel = Parallel())
            parallel->Interrupt();
    }

    // Streaming (the graph's pushing thread).
    HRESULT StartStream(const AudioFormat& format)
    {
        std::lock_guard lock(m_streamMutex);
        if (auto parallel = Parallel()) {
            parallel->Resume(); // a new segment after a seek continues the same file
            return S_OK;
        }
        if (m_lame)
            return S_OK;
        if (!AcceptsSampleRate(format.sampleRate) || (format.channels != 1 && format.channels != 2))
            return Fail(VFW_E_TYPE_NOT_ACCEPTED, "the MP3 encoder was given " + DescribeMediaType({MediaKind::Pcm, format, {}}));
        const Settings settings{format.channels, format.sampleRate, LegalMp3Bitrate(m_bitrate, format.sampleRate),
                                OutputChannels(format.channels), m_mode.load(), m_quality.load()};
        m_inputChannels = format.channels;
        m_offset = 0;
        m_ended = false;
        m_ownInfo.clear();
        m_musicCrc = 0;
        if (const int threads = Mp3EncoderThreads(); threads > 1) {
            auto parallel = std::make_shared<CParallelMp3Encoder>(
                [settings] { return MakeLame(settings); }, format.channels, format.sampleRate, threads,
                [this](std::uint64_t offset, const unsigned char* data, std::size_t size) {
                    IByteSink* sink = Downstream();
                    return sink ? sink->WriteAt(offset, data, size) : VFW_E_NOT_CONNECTED;
                });
            if (parallel->Start() != CParallelMp3Encoder::Outcome::Done)
                return Fail(E_INVALIDARG, "the MP3 encoder refused its settings (" + Describe() + ")");
            SetParallel(std::move(parallel));
            return S_OK;
        }
        LameHandle lame = MakeLame(settings);
        if (!lame)
            return Fail(E_INVALIDARG, "the MP3 encoder refused its settings (" + Describe() + ")");
        m_lame = std::move(lame);
        return S_OK;
    }

    HRESULT Encode(const float* samples, std::int64_t frames)
    {
        if (auto parallel = Parallel())
            return ParallelResult(*parallel, parallel->Encode(samples, frames));
        std::lock_guard lock(m_streamMutex);
        if (!m_lame)
            return Fail(VFW_E_WRONG_STATE, "the MP3 encoder received audio before its format");
        constexpr std::int64_t kChunk = 8192;
        while (frames > 0) {
            const int n = static_cast<int>(std::min(frames, kChunk));
            const int size = EncodeBlock(m_lame.get(), m_inputChannels, samples, n, m_buffer);
            if (size < 0)
                return Fail(E_FAIL, "the MP3 encoder failed (" + std::to_string(size) + ")");
            if (HRESULT hr = Push(m_buffer.data(), static_cast<std::size_t>(size)); FAILED(hr))
                return hr;
            samples += static_cast<std::int64_t>(n) * m_inputChannels;
            frames -= n;
        }
        return S_OK;
    }

    HRESULT End()
    {
        bool started = false;
        {
            std::lock_guard lock(m_streamMutex);
            started = m_lame || Parallel();
        }
        if (!started) { // an empty stream still makes a (tiny) valid file
            if (HRESULT hr = StartStream(m_input->ConnectionMediaType().audio); FAILED(hr))
                return hr;
        }
        if (auto parallel = Parallel()) {
            const HRESULT hr = ParallelResult(*parallel, parallel->Finish());
            if (hr != S_OK)
                return hr;
            std::lock_guard lock(m_streamMutex);
            m_ended = true;
        } else {
            std::lock_guard lock(m_streamMutex);
            if (HRESULT hr = Finish(); FAILED(hr))
                return hr;
        }
        IByteSink* sink = Downstream();
        return sink ? sink->EndOfStream() : S_OK;
    }

private:
    struct Settings {
        int inputChannels;
        int sampleRate;
        int bitrate;
        int outputChannels;
        Mp3ChannelMode mode;
        int quality;
    };

    static LameHandle MakeLame(const Settings& s)
    {
        LameHandle lame(lame_init());
        if (!lame)
            return nullptr;
        lame_set_num_channels(lame.get(), s.inputChannels);
        lame_set_in_samplerate(lame.get(), s.sampleRate);
        lame_set_out_samplerate(lame.get(), s.sampleRate);
        lame_set_VBR(lame.get(), vbr_off);
        lame_set_brate(lame.get(), s.bitrate);
        lame_set_mode(lame.get(), s.outputChannels == 1 ? MONO : s.mode == Mp3ChannelMode::Stereo ? STEREO : JOINT_STEREO);
        lame_set_quality(lame.get(), s.quality);
        lame_set_bWriteVbrTag(lame.get(), 1);
        lame_set_write_id3tag_automatic(lame.get(), 0);
        if (lame_init_params(lame.get()) < 0)
            return nullptr;
        return lame;
    }

    std::shared_ptr<CParallelMp3Encoder> Parallel() const
    {
        std::lock_guard lock(m_parallelMutex);
        return m_parallel;
    }
    void SetParallel(std::shared_ptr<CParallelMp3Encoder> parallel)
    {
        std::lock_guard lock(m_parallelMutex);
        m_parallel = std::move(parallel);
    }

    // The parallel encoder's outcome as this filter reports it to its pin:
    // S_FALSE takes no more audio (a stop or seek interrupted it).
    HRESULT ParallelResult(const CParallelMp3Encoder& parallel, CParallelMp3Encoder::Outcome outcome)
    {
        switch (outcome) {
        case CParallelMp3Encoder::Outcome::Done:
            return S_OK;
        case CParallelMp3Encoder::Outcome::Interrupted:
            return S_FALSE;
        case CParallelMp3Encoder::Outcome::Failed:
            break;
        }
        if (parallel.WriterFailed())
            return PassOnFailure(E_FAIL);
        return Fail(E_FAIL, parallel.Error().empty() ? "the MP3 encoder failed" : parallel.Error());
    }

    static HRESULT Get(std::int32_t* out, std::int32_t value)
    {
        if (!out)
            return E_POINTER;
        *out = value;
        return S_OK;
    }

    IByteSink* Downstream()
    {
        auto peer = m_output->ConnectedTo();
        return peer ? peer->ByteSink() : nullptr;
    }

    HRESULT Push(const unsigned char* data, std::size_t size)
    {
        if (size == 0)
            return S_OK;
        IByteSink* sink = Downstream();
        if (!sink)
            return Fail(VFW_E_NOT_CONNECTED, "the MP3 encoder has no writer");
        if (m_offset == 0 && size >= 4 && LameInfoFrameBytes(data, size) == 0) {
            // LAME keeps no place for its info frame: a header and zeros
            // keep one for ours, filled in when the stream ends.
            m_ownInfo = MakeInfoFrameForLame(m_lame.get(), data);
            std::vector<unsigned char> place(m_ownInfo.size(), 0);
            std::copy(m_ownInfo.begin(), m_ownInfo.begin() + std::min<std::size_t>(4, place.size()), place.begin());
            if (!place.empty()) {
                if (HRESULT hr = sink->WriteAt(0, place.data(), place.size()); FAILED(hr))
                    return PassOnFailure(hr);
                m_offset = place.size();
            }
        }
        const HRESULT hr = sink->WriteAt(m_offset, data, size);
        if (FAILED(hr))
            return PassOnFailure(hr); // the writer has told the graph why
        m_offset += size;
        if (!m_ownInfo.empty())
            m_musicCrc = LameCrc16(data, size, m_musicCrc);
        return S_OK;
    }

    // Flushes LAME and writes the finished info frame over the first one.
    HRESULT Finish()
    {
        m_ended = true;
        m_buffer.resize(7200);
        const int size = lame_encode_flush(m_lame.get(), m_buffer.data(), static_cast<int>(m_buffer.size()));
        if (size < 0)
            return Fail(E_FAIL, "the MP3 encoder failed to finish");
        if (HRESULT hr = Push(m_buffer.data(), static_cast<std::size_t>(size)); FAILED(hr))
            return hr;
        std::vector<unsigned char> tag(2880);
        if (!m_ownInfo.empty()) {
            tag = m_ownInfo;
            RewriteInfoFrame(tag, lame_get_frameNum(m_lame.get()), m_offset - tag.size(), m_musicCrc,
                             lame_get_encoder_padding(m_lame.get()));
        } else {
            const std::size_t tagSize = lame_get_lametag_frame(m_lame.get(), tag.data(), tag.size());
            tag.resize(tagSize <= tag.size() ? tagSize : 0);
        }
        if (!tag.empty()) {
            IByteSink* sink = Downstream();
            if (!sink)
                return Fail(VFW_E_NOT_CONNECTED, "the MP3 encoder has no writer");
            if (HRESULT hr = sink->WriteAt(0, tag.data(), tag.size()); FAILED(hr))
                return PassOnFailure(hr);
        }
        return S_OK;
    }

    // Our failure is the writer's: take its reason as ours.
    HRESULT PassOnFailure(HRESULT hr)
    {
        if (auto peer = m_output->ConnectedTo(); peer && !m_quiet)
            SetLastError(peer->Filter().LastError());
        return hr;
    }

    HRESULT Fail(HRESULT hr, const std::string& reason)
    {
        if (m_quiet)
            return hr;
        SetLastError(reason);
        NotifyEvent(EC_ERRORABORT, hr, reason);
        return hr;
    }

    std::shared_ptr<CEncoderInputPin> m_input;
    std::shared_ptr<CEncoderOutputPin> m_output;
    std::atomic<std::int32_t> m_bitrate{kDefaultMp3Bitrate};
    std::atomic<std::int32_t> m_sampleRate{kDefaultMp3SampleRate};
    std::atomic<Mp3ChannelMode> m_mode{Mp3ChannelMode::JointStereo};
    std::atomic<std::int32_t> m_quality{kDefaultMp3Quality};

    std::mutex m_streamMutex;
    LameHandle m_lame;
    mutable std::mutex m_parallelMutex;
    std::shared_ptr<CParallelMp3Encoder> m_parallel; // encoding on several threads
    int m_inputChannels = 2;
    std::uint64_t m_offset = 0;
    std::vector<unsigned char> m_ownInfo; // where LAME writes no info frame: ours, unfinished
    std::uint16_t m_musicCrc = 0;         // of the audio after our info frame
    bool m_ended = false;
    bool m_quiet = false;
    std::vector<unsigned char> m_buffer;
};

CEncoderInputPin::CEncoderInputPin(CLameEncoder& owner) : CPin(owner, "In", PINDIR_INPUT), m_encoder(owner) {}

HRESULT CEncoderInputPin::QueryAccept(const MediaType& type) const
{
    const bool ok = type.kind == MediaKind::Pcm && m_encoder.AcceptsSampleRate(type.audio.sampleRate)
                    && (type.audio.channels == 1 || type.audio.channels == 2);
    return ok ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

std::vector<MediaType> CEncoderInputPin::EnumMediaTypes() const
{
    return {MediaType{MediaKind::Pcm, {m_encoder.PreferredSampleRate(), 2}, {}},
            MediaType{MediaKind::Pcm, {m_encoder.PreferredSampleRate(), 1}, {}}};
}

HRESULT CEncoderInputPin::NewSegment(const AudioFormat& format, std::int64_t)
{
    return m_encoder.StartStream(format);
}

HRESULT CEncoderInputPin::Receive(const float* samples, std::int64_t frames)
{
    return m_encoder.Encode(samples, frames);
}

HRESULT CEncoderInputPin::EndOfStream()
{
    return m_encoder.End();
}

CEncoderOutputPin::CEncoderOutputPin(CLameEncoder& owner) : CPin(owner, "Out", PINDIR_OUTPUT), m_encoder(owner) {}

std::vector<MediaType> CEncoderOutputPin::EnumMediaTypes() const
{
    int channels = 2;
    if (auto in = m_encoder.EnumPins().front(); in->IsConnected())
        channels = m_encoder.OutputChannels(in->ConnectionMediaType().audio.channels);
    const std::int32_t rate = m_encoder.EffectiveSampleRate();
    return {MediaType{MediaKind::Mp3, {rate ? rate : m_encoder.PreferredSampleRate(), channels}, {}}};
}

} // namespace

IAudioEncoderProperties* GetEncoderProperties(const std::shared_ptr<CBaseFilter>& filter)
{
    return dynamic_cast<IAudioEncoderProperties*>(filter.get());
}

std::shared_ptr<CBaseFilter> CreateLameEncoder()
{
    return std::make_shared<CLameEncoder>();
}
