#pragma once
// Filters and pins: the pieces a graph is made of.
//
// Data moves in two ways. An output pin of kind Pcm (a decoder, the render
// engine's group output) is *pulled*: it hands out an IPcmReader. The graph's
// streaming threads read that reader and *push* the blocks into the input
// pin it is connected to (a renderer, an encoder, a converter, a WAV writer),
// which may push further downstream (encoder -> file writer, as bytes at a
// file offset). Stream and MpegAudio pins only carry the source between the
// file source, the splitter and the decoder when they are connected.

#include "media/graph/MediaTypes.h"
#include "media/graph/PcmReader.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CBaseFilter;
class CPin;
class IMediaEventSink;

enum class MediaKind {
    Stream,    // a file's bytes: file source -> splitter
    MpegAudio, // MPEG audio frames: splitter -> decoder
    Pcm,       // interleaved float PCM
    Mp3,       // encoded MP3 bytes: encoder -> file writer
    Wave,      // a complete WAV file's bytes: WAV writer -> file writer
};

struct MediaType {
    MediaKind kind = MediaKind::Pcm;
    AudioFormat audio;  // for Pcm (and the encoded rate for Mp3)
    std::string path;   // for Stream: the file the source reads
};
std::string DescribeMediaType(const MediaType& type); // for the DOT description

// Receives pushed PCM (input pins of kind Pcm).
class IPcmSink {
public:
    virtual ~IPcmSink() = default;
    // Start of a run of contiguous audio; `startFrame` is the stream frame
    // of its first sample (after a seek, the new position).
    [[nodiscard]] virtual HRESULT NewSegment(const AudioFormat& format, std::int64_t startFrame) = 0;
    [[nodiscard]] virtual HRESULT Receive(const float* samples, std::int64_t frames) = 0;
    [[nodiscard]] virtual HRESULT EndOfStream() = 0;
    // Drop whatever is buffered (seek or stop).
    virtual void Flush() {}
};

// Receives pushed bytes at a file offset (input pins of kind Mp3 / Wave).
class IByteSink {
public:
    virtual ~IByteSink() = default;
    [[nodiscard]] virtual HRESULT WriteAt(std::uint64_t offset, const void* data, std::size_t size) = 0;
    [[nodiscard]] virtual HRESULT EndOfStream() = 0;
};

class CPin {
public:
    CPin(CBaseFilter& owner, std::string name, PIN_DIRECTION dir);
    virtual ~CPin() = default;

    HRESULT QueryDirection(PIN_DIRECTION* dir) const;
    const std::string& Name() const { return m_name; }
    CBaseFilter& Filter() const { return m_owner; }
    std::shared_ptr<CPin> ConnectedTo() const;
    const MediaType& ConnectionMediaType() const { return m_type; }
    bool IsConnected() const { return static_cast<bool>(ConnectedTo()); }

    // Output side: the media types this pin can deliver, best first.
    virtual std::vector<MediaType> EnumMediaTypes() const { return {}; }
    // Input side: whether this pin takes `type`. By default an input pin
    // takes Pcm when it has a PcmSink() and Mp3 / Wave when it has a
    // ByteSink().
    [[nodiscard]] virtual HRESULT QueryAccept(const MediaType& type) const;

    // Output pins of kind Pcm hand out their reader; others return null.
    // The graph asks once per change of its connections and keeps the
    // reader for every run (seeking it to the start position), so the same
    // reader should be handed out each time. A pin of kind Pcm connected to
    // a pin with a PcmSink() is a stream head: the graph streams it.
    virtual std::shared_ptr<IPcmReader> PcmSource() { return nullptr; }
    // Input pins of kind Pcm / Mp3 / Wave take pushed data.
    virtual IPcmSink* PcmSink() { return nullptr; }
    virtual IByteSink* ByteSink() { return nullptr; }

    // Called on both pins by the graph when they are joined / parted.
    [[nodiscard]] virtual HRESULT CompleteConnect(CPin& peer, const MediaType& type);
    virtual void BreakConnect();

private:
    friend class CFilterGraph;
    CBaseFilter& m_owner;
    std::string m_name;
    PIN_DIRECTION m_dir;
    mutable std::mutex m_mutex;
    std::weak_ptr<CPin> m_peer;
    MediaType m_type;
};

class CBaseFilter : public std::enable_shared_from_this<CBaseFilter> {
public:
    explicit CBaseFilter(std::string clsidText);
    virtual ~CBaseFilter() = default;

    // Pins in their fixed enumeration order.
    const std::vector<std::shared_ptr<CPin>>& EnumPins() const { return m_pins; }
    const std::string& ClassId() const { return m_clsid; }
    // The name under which the filter joined its graph ("" when in none).
    std::string QueryFilterInfo() const { return m_name; }

    // State changes, called by the graph on every filter (downstream first).
    // A filter that cannot pause or run fails (and says why through the
    // graph's events); Stop always succeeds, as what went wrong while
    // streaming has been reported already.
    [[nodiscard]] virtual HRESULT Pause() { return S_OK; }
    [[nodiscard]] virtual HRESULT Run() { return S_OK; }
    virtual HRESULT Stop() { return S_OK; }
    // The job ended in failure or was stopped by the user: writers remove a
    // partial output when `removeOutput` is true. On a failure the graph
    // calls Abort(true) on every filter from the streaming thread, before
    // EC_ERRORABORT is queued; on a Stop that interrupts an unfinished
    // stream it calls Abort(false) after the streaming threads have ended
    // and before Stop().
    virtual void Abort(bool removeOutput) { (void)removeOutput; }
    // Sinks that hold audio back report the frames they are done with (for
    // the position): renderers what was played, an encoder on several
    // threads what it has written; -1 where what was pushed counts.
    virtual bool IsRenderer() const { return false; }
    virtual std::int64_t PlayedFrames() const { return -1; }
    // Renderers follow the graph's clock choice: false plays as fast as the
    // audio comes (a graph without a clock).
    virtual void SetPaced(bool paced) { (void)paced; }
    // Sources that read a named file: the graph hands them the path when it
    // adds them (AddSourceFilter, RenderFile). Fails with a reason in
    // LastError() when the file cannot be read; E_NOTIMPL for other filters.
    [[nodiscard]] virtual HRESULT Load(const std::string& path) { (void)path; return E_NOTIMPL; }

    // Settings shown for the DOT description, e.g. "bitrate=192k".
    virtual std::string Describe() const { return {}; }

    // Wakes a streaming call (Receive, EndOfStream) blocked inside this
    // filter, e.g. a renderer waiting for the audio clock. Called from the
    // control thread while the streaming threads run, before they are joined
    // on Stop or on a seek; the woken call returns at once.
    virtual void Interrupt() {}

    // Reason of the last failure of this filter (a refused connection, a
    // failed Receive), readable by a person; "" when none.
    std::string LastError() const;

protected:
    void AddPin(std::shared_ptr<CPin> pin) { m_pins.push_back(std::move(pin)); }
    // Reports an event (EC_ERRORABORT with a reason...) to the graph.
    void NotifyEvent(long code, long param1, const std::string& reason);
    void SetLastError(const std::string& reason);

private:
    friend class CFilterGraph;
    std::string m_clsid;
    std::string m_name;
    IMediaEventSink* m_graph = nullptr;
    std::vector<std::shared_ptr<CPin>> m_pins;
    mutable std::mutex m_errorMutex;
    std::string m_lastError;
};

class IMediaEventSink {
public:
    virtual ~IMediaEventSink() = default;
    virtual void Notify(long code, long param1, const std::string& reason) = 0;
};
