#pragma once
// "Default DirectSound Device": plays pushed PCM on the default output
// device (or the null output) at the audio's real-time pace and reports how
// much has been played, which is the graph's position.

#include "media/output/AudioOutput.h"
#include "media/graph/Filter.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class CAudioRenderer final : public CBaseFilter, private IPcmSink {
public:
    CAudioRenderer();
    ~CAudioRenderer() override;

    [[nodiscard]] HRESULT Pause() override;
    [[nodiscard]] HRESULT Run() override;
    HRESULT Stop() override;
    void Interrupt() override;
    bool IsRenderer() const override { return true; }
    std::int64_t PlayedFrames() const override;
    std::string Describe() const override;

    void SetPaced(bool paced) override;

private:
    friend class AudioRendererInputPin;
    IPcmSink* Sink() { return this; }
    [[nodiscard]] HRESULT NewSegment(const AudioFormat& format, std::int64_t startFrame) override;
    [[nodiscard]] HRESULT Receive(const float* samples, std::int64_t frames) override;
    [[nodiscard]] HRESULT EndOfStream() override;
    void Flush() override;
    // Opens the output for the connection's format unless open already.
    void EnsureOutput();

    mutable std::mutex m_mutex; // guards m_output and m_outputFormat (replaced on the control thread)
    std::shared_ptr<IAudioOutput> m_output;
    AudioFormat m_outputFormat;
    std::atomic<bool> m_paced{true};
    std::atomic<bool> m_running{false};
};
