#pragma once
// PCM stages built over other readers: the cut of a source, the sample-rate
// and channel conversion, and the concatenation of pieces. The render engine
// chains them (cut -> convert -> concatenate) behind a group's output pin.

#include "media/graph/PcmReader.h"

#include <functional>
#include <memory>
#include <vector>

// Source frames [firstFrame, endFrame) exactly, clamped to the source's
// length when it is known. A source that ends before its promised length
// (changed or truncated while a job runs) is an error, not a short piece.
// `name` (the source's path) goes into the reasons of failures.
std::unique_ptr<IPcmReader> MakeCutReader(std::shared_ptr<IPcmReader> source, std::int64_t firstFrame,
                                          std::int64_t endFrame, std::string name = {});

// Opens a new, independent reader of the same source.
using SourceOpener = std::function<std::shared_ptr<IPcmReader>(std::string* reason)>;

// The same frames as MakeCutReader(opened, ...), decoded ahead on two
// threads (even chunks with `opened`, odd ones with a second reader from
// `open`). For long cuts whose consumer is cheap, such as WAV output.
std::unique_ptr<IPcmReader> MakeParallelDecodeReader(SourceOpener open, std::shared_ptr<IPcmReader> opened,
                                                     std::int64_t firstFrame, std::int64_t endFrame,
                                                     std::string name = {});

// Converts to `target` (rate with libsoxr SOXR_HQ; channels mono <-> stereo,
// more than two folded to stereo). Length is exactly
// round(n * target.sampleRate / source.sampleRate). Returns the source itself
// when the formats already agree.
std::shared_ptr<IPcmReader> MakeConvertReader(std::shared_ptr<IPcmReader> source, const AudioFormat& target);

// Number of frames `frames` source frames become at another rate.
std::int64_t ConvertedLength(std::int64_t frames, int fromRate, int toRate);

// One piece of a concatenation: its exact length in output frames and how
// to open it (called when the stream reaches the piece; the reader must have
// the concatenation's format).
struct ConcatPiece {
    std::int64_t frames = 0;
    std::function<std::shared_ptr<IPcmReader>(std::string* reason)> open;
    std::shared_ptr<IPcmReader> opened; // an already open reader, used first
};

// The pieces back to back with no gap or overlap. Each piece is opened when
// reached and closed when passed, so a long list holds one decoder at a time.
std::unique_ptr<IPcmReader> MakeConcatReader(const AudioFormat& format, std::vector<ConcatPiece> pieces);

// A PCM output pin that can deliver its stream straight in another format
// (a timeline group: each source is converted once, to the final format).
// A converter placed after such a pin asks it for that format instead of
// converting the group's stream a second time.
class IPcmSourceAnyFormat {
public:
    virtual ~IPcmSourceAnyFormat() = default;
    virtual std::shared_ptr<IPcmReader> PcmSourceAs(const AudioFormat& format) = 0;
};
