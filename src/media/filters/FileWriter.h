#pragma once
// The file writers at the end of a job: bytes in (from an encoder or the WAV
// writer), written at their offsets into the named file.
//
// A file writer creates its file when the graph starts and never replaces a
// file that was there before, unless overwriting was asked for (the chosen
// output of a join): then it writes beside it and puts the new file in its
// place only when the job ends. On a failure the partial output is removed;
// on a user stop what was written stays.

#include "media/graph/Filter.h"
#include "media/graph/MediaTypes.h"

#include <memory>
#include <string>

class IFileSinkFilter {
public:
    virtual ~IFileSinkFilter() = default;
    // `type` must be null.
    [[nodiscard]] virtual HRESULT SetFileName(const std::string& path, const MediaType* type) = 0;
    virtual HRESULT GetCurFile(std::string* path) const = 0;
    // true: an existing file of that name may be replaced (default false).
    [[nodiscard]] virtual HRESULT SetOverwrite(bool overwrite) = 0;
    // The job is being cancelled: the coming stop removes the output instead
    // of keeping what was written (an overwritten file then stays as it was).
    virtual void DiscardOutput() = 0;
};

// The writer facet of a file writer; null for any other filter.
IFileSinkFilter* GetFileSink(const std::shared_ptr<CBaseFilter>& filter);

std::shared_ptr<CBaseFilter> CreateRawFileWriter();    // "36A5F770-..."
std::shared_ptr<CBaseFilter> CreateSystemFileWriter(); // CLSID_FileWriter
