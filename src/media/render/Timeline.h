#pragma once
// The editing timeline: groups (one output stream each) holding tracks that
// hold sources, each source a stretch of a file placed at a time of the
// output. Callers build it node by node and reach a node's facets the way
// the join and split engines ask for them:
//   auto node = ...; timeline.CreateEmptyNode(&node, TIMELINE_MAJOR_TYPE_SOURCE);
//   auto src = std::dynamic_pointer_cast<IAMTimelineSrc>(node); // "query"

#include "media/graph/MediaTypes.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CMediaTypeValue;

enum TIMELINE_MAJOR_TYPE {
    TIMELINE_MAJOR_TYPE_COMPOSITE = 1,
    TIMELINE_MAJOR_TYPE_TRACK = 2,
    TIMELINE_MAJOR_TYPE_SOURCE = 4,
    TIMELINE_MAJOR_TYPE_TRANSITION = 8,
    TIMELINE_MAJOR_TYPE_EFFECT = 16,
    TIMELINE_MAJOR_TYPE_GROUP = 128,
};

// Flags of ValidateSourceNames. There is never a pop-up: a source that
// cannot be opened is reported through the result and LastError().
constexpr long SFN_VALIDATEF_CHECK = 1;
constexpr long SFN_VALIDATEF_POPUP = 2;
constexpr long SFN_VALIDATEF_TELLME = 4;
constexpr long SFN_VALIDATEF_REPLACE = 8;

class CAMTimelineObj;
class IPcmReader;

// Facets of a node.
class IAMTimelineObj {
public:
    virtual ~IAMTimelineObj() = default;
    virtual HRESULT GetTimelineType(TIMELINE_MAJOR_TYPE* type) const = 0;
    // Place on the output (of a source: where its media times play).
    [[nodiscard]] virtual HRESULT SetStartStop(REFERENCE_TIME start, REFERENCE_TIME stop) = 0;
    virtual HRESULT GetStartStop(REFERENCE_TIME* start, REFERENCE_TIME* stop) const = 0;
};

class IAMTimelineGroup {
public:
    virtual ~IAMTimelineGroup() = default;
    // Only the major type is required (audio); a group naming nothing more
    // delivers PCM at the highest rate and channel count of its sources.
    [[nodiscard]] virtual HRESULT SetMediaType(const CMediaTypeValue* type) = 0;
    // Fixes the output format instead (optional).
    [[nodiscard]] virtual HRESULT SetOutputFormat(const AudioFormat& format) = 0;
};

class IAMTimelineComp {
public:
    virtual ~IAMTimelineComp() = default;
    // Inserts a track before position `priority`; -1 appends it.
    [[nodiscard]] virtual HRESULT VTrackInsBefore(const std::shared_ptr<CAMTimelineObj>& track, long priority) = 0;
    virtual HRESULT VTrackGetCount(long* count) const = 0;
};

class IAMTimelineTrack {
public:
    virtual ~IAMTimelineTrack() = default;
    [[nodiscard]] virtual HRESULT SrcAdd(const std::shared_ptr<CAMTimelineObj>& source) = 0;
};

class IAMTimelineSrc {
public:
    virtual ~IAMTimelineSrc() = default;
    [[nodiscard]] virtual HRESULT SetMediaName(const std::string& path) = 0;
    virtual HRESULT GetMediaName(std::string* path) const = 0;
    // The stretch [start, stop) of the file this source plays.
    [[nodiscard]] virtual HRESULT SetMediaTimes(REFERENCE_TIME start, REFERENCE_TIME stop) = 0;
    virtual HRESULT GetMediaTimes(REFERENCE_TIME* start, REFERENCE_TIME* stop) const = 0;
};

// A node of any type; the facets it offers depend on its type.
class CAMTimelineObj : public IAMTimelineObj {
public:
    explicit CAMTimelineObj(TIMELINE_MAJOR_TYPE type) : m_type(type) {}
    HRESULT GetTimelineType(TIMELINE_MAJOR_TYPE* type) const override;
    [[nodiscard]] HRESULT SetStartStop(REFERENCE_TIME start, REFERENCE_TIME stop) override;
    HRESULT GetStartStop(REFERENCE_TIME* start, REFERENCE_TIME* stop) const override;
    TIMELINE_MAJOR_TYPE Type() const { return m_type; }

private:
    TIMELINE_MAJOR_TYPE m_type;
    REFERENCE_TIME m_start = 0;
    REFERENCE_TIME m_stop = 0;
};

class CAMTimelineSrc : public CAMTimelineObj, public IAMTimelineSrc {
public:
    CAMTimelineSrc() : CAMTimelineObj(TIMELINE_MAJOR_TYPE_SOURCE) {}
    [[nodiscard]] HRESULT SetMediaName(const std::string& path) override;
    HRESULT GetMediaName(std::string* path) const override;
    [[nodiscard]] HRESULT SetMediaTimes(REFERENCE_TIME start, REFERENCE_TIME stop) override;
    HRESULT GetMediaTimes(REFERENCE_TIME* start, REFERENCE_TIME* stop) const override;

    const std::string& MediaName() const { return m_path; }
    REFERENCE_TIME MediaStart() const { return m_mediaStart; }
    REFERENCE_TIME MediaStop() const { return m_mediaStop; }
    // The reader opened while validating, handed on to the render engine so
    // the file is not opened (and scanned) twice. Taking it empties it.
    std::shared_ptr<IPcmReader> TakeOpenedReader();
    void KeepOpenedReader(std::shared_ptr<IPcmReader> reader);
    AudioFormat SourceFormat() const { return m_format; }
    void SetSourceFormat(const AudioFormat& format) { m_format = format; }

private:
    std::string m_path;
    REFERENCE_TIME m_mediaStart = 0;
    REFERENCE_TIME m_mediaStop = 0;
    AudioFormat m_format;
    std::shared_ptr<IPcmReader> m_opened;
};

class CAMTimelineTrack : public CAMTimelineObj, public IAMTimelineTrack {
public:
    CAMTimelineTrack() : CAMTimelineObj(TIMELINE_MAJOR_TYPE_TRACK) {}
    [[nodiscard]] HRESULT SrcAdd(const std::shared_ptr<CAMTimelineObj>& source) override;
    // Sources in timeline order (by start; equal starts keep insertion order).
    std::vector<std::shared_ptr<CAMTimelineSrc>> Sources() const;

private:
    std::vector<std::shared_ptr<CAMTimelineSrc>> m_sources;
};

class CAMTimelineGroup : public CAMTimelineObj, public IAMTimelineGroup, public IAMTimelineComp {
public:
    CAMTimelineGroup() : CAMTimelineObj(TIMELINE_MAJOR_TYPE_GROUP) {}
    [[nodiscard]] HRESULT SetMediaType(const CMediaTypeValue* type) override;
    [[nodiscard]] HRESULT SetOutputFormat(const AudioFormat& format) override;
    [[nodiscard]] HRESULT VTrackInsBefore(const std::shared_ptr<CAMTimelineObj>& track, long priority) override;
    HRESULT VTrackGetCount(long* count) const override;

    bool IsAudio() const { return m_audio; }
    const AudioFormat& OutputFormat() const { return m_format; } // invalid: from the sources
    const std::vector<std::shared_ptr<CAMTimelineTrack>>& Tracks() const { return m_tracks; }

private:
    bool m_audio = false;
    AudioFormat m_format;
    std::vector<std::shared_ptr<CAMTimelineTrack>> m_tracks;
};

// CLSID_AMTimeline.
class CAMTimeline {
public:
    [[nodiscard]] HRESULT CreateEmptyNode(std::shared_ptr<CAMTimelineObj>* node, TIMELINE_MAJOR_TYPE type);
    [[nodiscard]] HRESULT AddGroup(const std::shared_ptr<CAMTimelineObj>& group);
    HRESULT GetGroupCount(long* count) const;
    HRESULT GetGroup(std::shared_ptr<CAMTimelineObj>* group, long index) const;
    // Opens every source once: S_OK when all open, otherwise
    // VFW_E_NOT_FOUND_FILE / VFW_E_INVALID_FILE_FORMAT with LastError()
    // naming the first source that failed and why. Nothing asks the user.
    [[nodiscard]] HRESULT ValidateSourceNames(long flags, const void* override = nullptr, long notifyEvent = 0);
    std::string LastError() const;

    std::vector<std::shared_ptr<CAMTimelineGroup>> Groups() const { return m_groups; }

private:
    std::vector<std::shared_ptr<CAMTimelineGroup>> m_groups;
    mutable std::mutex m_mutex;
    std::string m_lastError;
};
