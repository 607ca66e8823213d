// The WAV writer: PCM in, the bytes of a complete WAV file out (a 44-byte
// header, then 16-bit PCM), its sizes filled in when the stream ends. A
// piece known to pass 4 GiB of data is RF64 instead: an 80-byte header
// whose "ds64" chunk holds the 64-bit sizes.
//
// 16-bit output: the pieces are what a person listens to and passes on, and
// 16 bits holds every source this program reads from MP3 and CD-quality WAV
// exactly; a 16-bit source goes through unchanged (s/32768 -> s).

#include "media/filters/WavWriter.h"

#include "media/graph/ClassIds.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace {

constexpr std::uint32_t kWavHeaderBytes = 44;
constexpr std::uint32_t kRf64HeaderBytes = 80;
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36; // RIFF sizes are 32-bit

void PutLe(std::uint8_t* at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutFormat(std::uint8_t* at, const AudioFormat& format)
{
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(format.channels) * 2;
    std::memcpy(at, "fmt ", 4);
    PutLe(at + 4, 16, 4);
    PutLe(at + 8, 1, 2); // PCM
    PutLe(at + 10, static_cast<std::uint32_t>(format.channels), 2);
    PutLe(at + 12, static_cast<std::uint32_t>(format.sampleRate), 4);
    PutLe(at + 16, static_cast<std::uint32_t>(format.sampleRate) * blockAlign, 4);
    PutLe(at + 20, blockAlign, 2);
    PutLe(at + 22, 16, 2);
}

std::vector<std::uint8_t> MakeHeader(const AudioFormat& format, std::uint64_t dataBytes, bool rf64)
{
    if (!rf64) {
        std::vector<std::uint8_t> h(kWavHeaderBytes);
        std::memcpy(&h[0], "RIFF", 4);
        PutLe(&h[4], 36 + dataBytes, 4);
        std::memcpy(&h[8], "WAVE", 4);
        PutFormat(&h[12], format);
        std::memcpy(&h[36], "data", 4);
        PutLe(&h[40], dataBytes, 4);
        return h;
    }
    // The 32-bit sizes say "see ds64" (all ones); ds64 holds the real ones.
    std::vector<std::uint8_t> h(kRf64HeaderBytes);
    const std::uint64_t blockAlign = static_cast<std::uint64_t>(format.channels) * 2;
    std::memcpy(&h[0], "RF64", 4);
    PutLe(&h[4], 0xFFFFFFFFu, 4);
    std::memcpy(&h[8], "WAVE", 4);
    std::memcpy(&h[12], "ds64", 4);
    PutLe(&h[16], 28, 4);
    PutLe(&h[20], kRf64HeaderBytes - 8 + dataBytes, 8); // RIFF size
    PutLe(&h[28], dataBytes, 8);
    PutLe(&h[36], dataBytes / blockAlign, 8); // sample frames
    PutLe(&h[44], 0, 4);                      // no table of other chunk sizes
    PutFormat(&h[48], format);
    std::memcpy(&h[72], "data", 4);
    PutLe(&h[76], 0xFFFFFFFFu, 4);
    return h;
}

// Clamp, then round half away from zero by truncation (no libm call in the
// loop); a 16-bit source (s / 32768) gives back s. Eight samples at a time
// where SSE2 is there (every x86-64): a long WAV cut spends a good part of
// its time here otherwise.
void ToInt16(const float* samples, std::int16_t* out, std::size_t count)
{
    std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
    const __m128 scale = _mm_set1_ps(32768.0f);
    const __m128 low = _mm_set1_ps(-32768.0f);
    const __m128 high = _mm_set1_ps(32767.0f);
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 sign = _mm_set1_ps(-0.0f);
    auto round4 = [&](const float* at) {
        __m128 v = _mm_mul_ps(_mm_loadu_ps(at), scale);
        v = _mm_and_ps(v, _mm_cmpord_ps(v, v)); // NaN -> 0
        v = _mm_min_ps(_mm_max_ps(v, low), high);
        // +0.5 or -0.5 by the sign; -0 gets -0.5 where the scalar code adds
        // +0.5, and both truncate to 0.
        v = _mm_add_ps(v, _mm_or_ps(_mm_and_ps(v, sign), half));
        return _mm_cvttps_epi32(v);
    };
    for (; i + 8 <= count; i += 8) {
        const __m128i packed = _mm_packs_epi32(round4(samples + i), round4(samples + i + 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), packed);
    }
#endif
    for (; i < count; ++i) {
        const float scaled = std::clamp(samples[i] * 32768.0f, -32768.0f, 32767.0f);
        out[i] = static_cast<std::int16_t>(scaled + (scaled >= 0 ? 0.5f : -0.5f));
    }
}

class CWavWriter;

class CWavInputPin final : public CPin, public IPcmSink {
public:
    explicit CWavInputPin(CWavWriter& owner);
    HRESULT QueryAccept(const MediaType& type) const override
    {
        const bool ok = type.kind == MediaKind::Pcm && type.audio.Valid() && type.audio.channels <= 0xFFFF;
        return ok ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    IPcmSink* PcmSink() override { return this; }
    HRESULT NewSegment(const AudioFormat& format, std::int64_t startFrame) override;
    HRESULT Receive(const float* samples, std::int64_t frames) override;
    HRESULT EndOfStream() override;

private:
    CWavWriter& m_writer;
};

class CWavOutputPin final : public CPin {
public:
    explicit CWavOutputPin(CBaseFilter& owner) : CPin(owner, "Out", PINDIR_OUTPUT) {}
    std::vector<MediaType> EnumMediaTypes() const override
    {
        const auto& in = Filter().EnumPins().front();
        return {MediaType{MediaKind::Wave, in->ConnectionMediaType().audio, {}}};
    }
};

class CWavWriter final : public CBaseFilter, public IWavWriterSettings {
public:
    CWavWriter() : CBaseFilter(clsid::WavWriter)
    {
        AddPin(std::make_shared<CWavInputPin>(*this));
        m_output = std::make_shared<CWavOutputPin>(*this);
        AddPin(m_output);
    }

    std::string Describe() const override { return "16-bit PCM"; }

    void SetExpectedDuration(REFERENCE_TIME duration) override
    {
        std::lock_guard lock(m_mutex);
        m_expected = duration;
    }

    bool WritesRf64() const override
    {
        std::lock_guard lock(m_mutex);
        return m_rf64;
    }

    HRESULT Start(const AudioFormat& format)
    {
        std::lock_guard lock(m_mutex);
        if (m_started)
            return format == m_format ? S_OK : Fail("the WAV writer's input changed its format");
        if (!format.Valid())
            return Fail("the WAV writer was given no audio format");
        m_format = format;
        m_dataBytes = 0;
        m_started = true;
        m_ended = false;
        // Decided before the first byte: the header's size moves the data.
        // A frame of margin each side of the rounding of the length.
        const std::uint64_t blockAlign = static_cast<std::uint64_t>(format.channels) * 2;
        const std::int64_t frames = m_expected > 0 ? TimeToFrame(m_expected, format.sampleRate) + 2 : 0;
        m_rf64 = static_cast<std::uint64_t>(frames) * blockAlign > kMaxDataBytes;
        m_headerBytes = m_rf64 ? kRf64HeaderBytes : kWavHeaderBytes;
        const auto header = MakeHeader(m_format, 0, m_rf64);
        return Push(0, header.data(), header.size());
    }

    HRESULT Write(const float* samples, std::int64_t frames)
    {
        std::lock_guard lock(m_mutex);
        if (!m_started)
            return Fail("the WAV writer received audio before its format");
        const std::size_t count = static_cast<std::size_t>(frames) * static_cast<std::size_t>(m_format.channels);
        if (!m_rf64 && m_dataBytes + count * 2 > kMaxDataBytes)
            return Fail("the WAV file would pass the format's 4 GiB limit");
        m_buffer.resize(count);
        ToInt16(samples, m_buffer.data(), count);
        static_assert(std::endian::native == std::endian::little, "WAV data is little-endian");
        if (HRESULT hr = Push(m_headerBytes + m_dataBytes, m_buffer.data(), count * 2); FAILED(hr))
            return hr;
        m_dataBytes += count * 2;
        return S_OK;
    }

    HRESULT End()
    {
        if (!Started()) { // an empty stream is still a complete file
            auto in = EnumPins().front();
            if (HRESULT hr = Start(in->ConnectionMediaType().audio); FAILED(hr))
                return hr;
        }
        std::lock_guard lock(m_mutex);
        if (HRESULT hr = PatchHeader(); FAILED(hr))
            return hr;
        m_ended = true;
        IByteSink* sink = Downstream();
        return sink ? sink->EndOfStream() : S_OK;
    }

    // A user stop keeps what was written: give it its true sizes. After a
    // failure the writer no longer takes bytes and this does nothing.
    HRESULT Stop() override
    {
        std::lock_guard lock(m_mutex);
        if (m_started && !m_ended) {
            m_quiet = true;
            PatchHeader();
            m_quiet = false;
        }
        m_started = m_ended = false;
        return S_OK;
    }

private:
    bool Started()
    {
        std::lock_guard lock(m_mutex);
        return m_started;
    }

    HRESULT PatchHeader()
    {
        const auto header = MakeHeader(m_format, m_dataBytes, m_rf64);
        return Push(0, header.data(), header.size());
    }

    IByteSink* Downstream()
    {
        auto peer = m_output->ConnectedTo();
        return peer ? peer->ByteSink() : nullptr;
    }

    HRESULT Push(std::uint64_t offset, const void* data, std::size_t size)
    {
        IByteSink* sink = Downstream();
        if (!sink)
            return Fail("the WAV writer has no file writer");
        const HRESULT hr = sink->WriteAt(offset, data, size);
        if (FAILED(hr) && !m_quiet) // a failing writer has reported why; its reason is ours
            if (auto peer = m_output->ConnectedTo())
                SetLastError(peer->Filter().LastError());
        return hr;
    }

    HRESULT Fail(const std::string& reason)
    {
        if (m_quiet)
            return E_FAIL;
        SetLastError(reason);
        NotifyEvent(EC_ERRORABORT, E_FAIL, reason);
        return E_FAIL;
    }

    std::shared_ptr<CWavOutputPin> m_output;
    mutable std::mutex m_mutex;
    AudioFormat m_format;
    REFERENCE_TIME m_expected = 0; // the piece's length when told, else 0
    bool m_rf64 = false;
    std::uint32_t m_headerBytes = kWavHeaderBytes;
    std::uint64_t m_dataBytes = 0;
    bool m_started = false;
    bool m_ended = false;
    bool m_quiet = false;
    std::vector<std::int16_t> m_buffer;
};

CWavInputPin::CWavInputPin(CWavWriter& owner) : CPin(owner, "In", PINDIR_INPUT), m_writer(owner) {}

HRESULT CWavInputPin::NewSegment(const AudioFormat& format, std::int64_t)
{
    return m_writer.Start(format);
}

HRESULT CWavInputPin::Receive(const float* samples, std::int64_t frames)
{
    return m_writer.Write(samples, frames);
}

HRESULT CWavInputPin::EndOfStream()
{
    return m_writer.End();
}

} // namespace

std::shared_ptr<CBaseFilter> CreateWavWriter()
{
    return std::make_shared<CWavWriter>();
}

IWavWriterSettings* GetWavWriterSettings(const std::shared_ptr<CBaseFilter>& filter)
{
    return dynamic_cast<IWavWriterSettings*>(filter.get());
}
