#include "media/graph/StreamWorker.h"

CStreamWorker::CStreamWorker(std::shared_ptr<IPcmReader> reader, IPcmSink* sink, CBaseFilter& sinkFilter,
                             std::int64_t startFrame, bool paused, Listener& listener)
    : m_reader(std::move(reader))
    , m_sink(sink)
    , m_sinkFilter(sinkFilter)
    , m_startFrame(startFrame)
    , m_format(m_reader->Format())
    , m_listener(listener)
    , m_blockFrames(sinkFilter.IsRenderer() ? kRendererBlockFrames : kBlockFrames)
    , m_paused(paused)
{
    const int blocks = sinkFilter.IsRenderer() ? kRendererBlocks : kBlocks;
    m_blocks.resize(blocks);
    for (int i = 0; i < blocks; ++i) {
        m_blocks[i].resize(static_cast<std::size_t>(m_blockFrames) * m_format.channels);
        m_free.push_back(i);
    }
}

CStreamWorker::~CStreamWorker()
{
    RequestStop();
    Join();
}

void CStreamWorker::Start()
{
    m_producer = std::thread([this] { Produce(); });
    m_consumer = std::thread([this] { Consume(); });
}

void CStreamWorker::SetPaused(bool paused)
{
    std::lock_guard lock(m_mutex);
    m_paused = paused;
    m_dataReady.notify_all();
}

void CStreamWorker::RequestStop()
{
    std::lock_guard lock(m_mutex);
    m_stop = true;
    m_dataReady.notify_all();
    m_blockFree.notify_all();
}

void CStreamWorker::Join()
{
    if (m_producer.joinable())
        m_producer.join();
    if (m_consumer.joinable())
        m_consumer.join();
}

void CStreamWorker::Produce()
{
    auto post = [this](Item item) {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(item));
        m_dataReady.notify_one();
    };
    if (!m_reader->Seek(m_startFrame)) {
        post({ItemKind::Error, -1, 0, m_reader->Error()});
        return;
    }
    for (;;) {
        int block = -1;
        {
            std::unique_lock lock(m_mutex);
            m_blockFree.wait(lock, [this] { return m_stop || !m_free.empty(); });
            if (m_stop)
                return;
            block = m_free.back();
            m_free.pop_back();
        }
        const std::int64_t got = m_reader->Read(m_blocks[block].data(), m_blockFrames);
        if (got < 0) {
            post({ItemKind::Error, block, 0, m_reader->Error()});
            return;
        }
        if (got == 0) {
            post({ItemKind::End, block, 0, {}});
            return;
        }
        post({ItemKind::Data, block, got, {}});
    }
}

void CStreamWorker::Fail(const std::string& reason)
{
    RequestStop();
    m_listener.OnStreamFailed(*this, reason);
}

bool CStreamWorker::StopRequested()
{
    std::lock_guard lock(m_mutex);
    return m_stop;
}

void CStreamWorker::Consume()
{
    const HRESULT started = m_sink->NewSegment(m_format, m_startFrame);
    if (FAILED(started)) {
        Fail({});
        return;
    }
    for (;;) {
        Item item;
        {
            std::unique_lock lock(m_mutex);
            m_dataReady.wait(lock, [this] { return m_stop || (!m_paused && !m_queue.empty()); });
            if (m_stop)
                return;
            item = std::move(m_queue.front());
            m_queue.pop_front();
        }
        switch (item.kind) {
        case ItemKind::Data: {
            const HRESULT hr = m_sink->Receive(m_blocks[item.block].data(), item.frames);
            {
                std::lock_guard lock(m_mutex);
                m_free.push_back(item.block);
                m_blockFree.notify_one();
                if (hr == S_OK)
                    m_pushed += item.frames;
                else if (!FAILED(hr) && m_stop)
                    return; // woken for a stop or a seek
            }
            if (hr != S_OK) {
                Fail(FAILED(hr) ? std::string()
                                : "the filter \"" + m_sinkFilter.QueryFilterInfo() + "\" stopped taking data");
                return;
            }
            if (m_listener.AbortRequested()) {
                Fail({});
                return;
            }
            break;
        }
        case ItemKind::End: {
            const HRESULT hr = m_sink->EndOfStream();
            if (hr == S_OK) {
                m_ended = true;
                m_listener.OnStreamEnded(*this);
            } else if (FAILED(hr)) {
                Fail({});
            } else if (!StopRequested()) {
                // Interrupted without a stop request: nothing else will end it.
                Fail("the filter \"" + m_sinkFilter.QueryFilterInfo() + "\" did not finish the stream");
            }
            return;
        }
        case ItemKind::Error:
            Fail(item.reason.empty() ? "the source could not be read" : item.reason);
            return;
        }
    }
}
