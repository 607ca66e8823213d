#include "media/output/AudioRenderer.h"

#include "media/graph/ClassIds.h"


class AudioRendererInputPin final : public CPin {
public:
    explicit AudioRendererInputPin(CAudioRenderer& owner)
        : CPin(owner, "Audio Input pin (rendered)", PINDIR_INPUT)
        , m_renderer(owner)
    {
    }
    HRESULT QueryAccept(const MediaType& type) const override
    {
        return type.kind == MediaKind::Pcm && type.audio.Valid() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    IPcmSink* PcmSink() override { return m_renderer.Sink(); }

private:
    CAudioRenderer& m_renderer;
};

CAudioRenderer::CAudioRenderer()
    : CBaseFilter(clsid::DSoundRender)
{
    AddPin(std::make_shared<AudioRendererInputPin>(*this));
}

CAudioRenderer::~CAudioRenderer() = default;

void CAudioRenderer::EnsureOutput()
{
    const AudioFormat format = EnumPins().front()->ConnectionMediaType().audio;
    std::lock_guard lock(m_mutex);
    if (m_output && m_outputFormat == format)
        return;
    m_output.reset();
    if (!format.Valid())
        return;
    m_output = OpenAudioOutput(format, m_paced);
    m_outputFormat = format;
}

HRESULT CAudioRenderer::Pause()
{
    EnsureOutput();
    m_running = false;
    std::lock_guard lock(m_mutex);
    if (m_output)
        m_output->Pause();
    return S_OK;
}

HRESULT CAudioRenderer::Run()
{
    EnsureOutput();
    m_running = true;
    std::lock_guard lock(m_mutex);
    if (m_output)
        m_output->Resume();
    return S_OK;
}

HRESULT CAudioRenderer::Stop()
{
    m_running = false;
    // The output stays open (a seek while stopped cues and stops the graph
    // again at once) and its device running; what was queued is dropped.
    std::lock_guard lock(m_mutex);
    if (m_output)
        m_output->Stop();
    return S_OK;
}

void CAudioRenderer::Interrupt()
{
    std::lock_guard lock(m_mutex);
    if (m_output)
        m_output->Interrupt();
}

std::int64_t CAudioRenderer::PlayedFrames() const
{
    std::lock_guard lock(m_mutex);
    return m_output ? m_output->PlayedFrames() : 0;
}

std::string CAudioRenderer::Describe() const
{
    std::lock_guard lock(m_mutex);
    std::string text = m_output ? "output=" + m_output->Name() : std::string("output=(closed)");
    if (!m_paced)
        text += "\\nclock=none";
    return text;
}

void CAudioRenderer::SetPaced(bool paced)
{
    if (m_paced.exchange(paced) == paced)
        return;
    // Reopened at the next Pause/Run with the new pace.
    std::lock_guard lock(m_mutex);
    m_output.reset();
}

HRESULT CAudioRenderer::NewSegment(const AudioFormat& format, std::int64_t)
{
    std::lock_guard lock(m_mutex);
    if (!m_output) {
        SetLastError("no audio device could be opened");
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    if (!(format == m_outputFormat)) {
        SetLastError("the audio output cannot play " + std::to_string(format.sampleRate) + " Hz, " +
                     std::to_string(format.channels) + " channels");
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

HRESULT CAudioRenderer::Receive(const float* samples, std::int64_t frames)
{
    std::shared_ptr<IAudioOutput> output;
    {
        // The control thread may reopen the output while this streaming
        // thread plays.
        std::lock_guard lock(m_mutex);
        output = m_output;
    }
    if (!output)
        return S_FALSE;
    if (output->Write(samples, frames))
        return S_OK;
    if (output->Failed()) {
        SetLastError("the audio device stopped working (" + output->Name() + ")");
        return E_FAIL;
    }
    return S_FALSE;
}

HRESULT CAudioRenderer::EndOfStream()
{
    std::shared_ptr<IAudioOutput> output;
    {
        std::lock_guard lock(m_mutex);
        output = m_output;
    }
    if (!output)
        return S_FALSE;
    return output->Drain() ? S_OK : S_FALSE;
}

void CAudioRenderer::Flush()
{
    std::lock_guard lock(m_mutex);
    if (m_output)
        m_output->Flush();
}
