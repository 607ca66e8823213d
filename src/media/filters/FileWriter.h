#pragma once
// The file writers at the end of a job: bytes in (from an encoder or the WAV
// writer), written at their offsets into the named file.
//
// A file writer writes a hidden temporary beside its output (OutputFile.h)
// from the start of the graph, and moves it to its name when the stream has
// ended: the name never shows a file that is not complete. It never replaces
// a file that was there before, unless overwriting was asked for (the
// chosen output of a join). On a failure, a cancel or the filter's end the
// temporary is removed; after a user stop KeepOutput puts what was written
// in place.

#include "media/graph/Filter.h"
#include "media/graph/MediaTypes.h"
#include "media/filters/OutputFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class IFileSinkFilter {
public:
    virtual ~IFileSinkFilter() = default;
    // `type` must be null.
    [[nodiscard]] virtual HRESULT SetFileName(const std::string& path, const MediaType* type) = 0;
    // The output is folder/N-name with the first N from `firstNumber` on
    // that is free when the file is moved in (split pieces); `how` picks
    // the form of the numbered name (OutputFile.h).
    [[nodiscard]] virtual HRESULT SetNumberedFileName(const std::string& folder, const std::string& name,
                                                      long long firstNumber,
                                                      NumberedName how = NumberedName::Prefix) = 0;
    // The output's name: the one asked for until the file is in place, then
    // the name it has.
    virtual HRESULT GetCurFile(std::string* path) const = 0;
    // true: an existing file of that name may be replaced (default false).
    [[nodiscard]] virtual HRESULT SetOverwrite(bool overwrite) = 0;
    // The job is being cancelled: the coming stop removes the output instead
    // of keeping what was written (an overwritten file then stays as it was).
    virtual void DiscardOutput() = 0;
    // After a stop in mid-stream (the graph stopped, every filter done):
    // what was written is moved to its name as a finished, shorter file.
    // Fails (LastError says why) when nothing was written or it cannot be.
    [[nodiscard]] virtual HRESULT KeepOutput() = 0;
    // Asked just before a written file is moved to its name: a non-empty
    // answer fails the job with that reason and the file is removed (say, a
    // source that changed while it was read).
    virtual void SetCommitCheck(std::function<std::string()> check) = 0;
    // Bytes the file holds before the stream's (an MP3's ID3v2 tag): written
    // when the file is made, the stream's offsets counting after them.
    [[nodiscard]] virtual HRESULT SetLeadingBytes(std::string bytes) = 0;
    // Bytes the file holds after the stream's (an MP3's ID3v1 tag): written
    // when the stream has ended, or at KeepOutput.
    [[nodiscard]] virtual HRESULT SetTrailingBytes(std::string bytes) = 0;
    // Asked with the finished temporary's path after the commit check, just
    // before the file is moved to its name: writes what belongs into the
    // whole file (a WAV file's tags). `cutShort`: the output is kept after a
    // stop in mid-stream. A non-empty answer fails the job with that reason
    // and the file is removed. Not asked for a device.
    virtual void SetFinishStep(std::function<std::string(const std::string& temporaryPath, bool cutShort)> step) = 0;
    // Bytes of the stream written so far (the leading and trailing bytes
    // not counted).
    virtual std::uint64_t BytesWritten() const = 0;
    // Whether the output is finished: complete under its name (or the
    // device it went to closed). A stop that came later changes nothing.
    virtual bool OutputComplete() const = 0;
};

// The writer facet of a file writer; null for any other filter.
IFileSinkFilter* GetFileSink(const std::shared_ptr<CBaseFilter>& filter);

std::shared_ptr<CBaseFilter> CreateRawFileWriter();    // "36A5F770-..."
std::shared_ptr<CBaseFilter> CreateSystemFileWriter(); // CLSID_FileWriter
