#pragma once
// A sink filter for the graph tests: it takes pushed PCM and keeps it (or
// fails on purpose after some blocks), the way an encoder or writer sits at
// the end of a graph.

#include "media/graph/Filter.h"

#include <atomic>
#include <mutex>
#include <vector>

class CaptureSink final : public CBaseFilter, public IPcmSink {
public:
    explicit CaptureSink(int failAfterBlocks = -1)
        : CBaseFilter("0F0F0F0F-0000-4000-8000-000000000001")
        , m_failAfter(failAfterBlocks)
    {
        AddPin(std::make_shared<Input>(*this));
    }

    // Fails to start, as a writer does whose file cannot be made.
    bool failOnStart = false;
    HRESULT Pause() override
    {
        if (!failOnStart)
            return S_OK;
        NotifyEvent(EC_ERRORABORT, E_FAIL, "cannot create /nowhere/out.mp3: Permission denied");
        return E_FAIL;
    }

    HRESULT NewSegment(const AudioFormat& newFormat, std::int64_t startFrame) override
    {
        std::lock_guard lock(mutex);
        format = newFormat;
        segmentStarts.push_back(startFrame);
        return S_OK;
    }
    HRESULT Receive(const float* data, std::int64_t frames) override
    {
        std::lock_guard lock(mutex);
        if (m_failAfter >= 0 && blocks >= m_failAfter) {
            SetLastError("cannot write /nowhere/out.mp3: No space left on device");
            return E_FAIL;
        }
        ++blocks;
        samples.insert(samples.end(), data, data + frames * format.channels);
        return S_OK;
    }
    HRESULT EndOfStream() override
    {
        ended = true;
        return S_OK;
    }
    void Flush() override
    {
        std::lock_guard lock(mutex);
        samples.clear();
    }
    void Abort(bool removeOutput) override
    {
        (removeOutput ? abortedRemoving : abortedKeeping) = true;
    }

    std::mutex mutex;
    AudioFormat format;
    std::vector<std::int64_t> segmentStarts;
    std::vector<float> samples;
    int blocks = 0;
    std::atomic<bool> ended{false};
    std::atomic<bool> abortedRemoving{false};
    std::atomic<bool> abortedKeeping{false};

private:
    class Input final : public CPin {
    public:
        explicit Input(CaptureSink& owner)
            : CPin(owner, "In", PINDIR_INPUT)
            , m_sink(owner)
        {
        }
        IPcmSink* PcmSink() override { return &m_sink; }

    private:
        CaptureSink& m_sink;
    };
    const int m_failAfter;
};
