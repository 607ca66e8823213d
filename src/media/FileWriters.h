#pragma once
// The writers at the end of a job: the WAV writer (PCM in, a complete WAV
// file's bytes out) and the two file writers (bytes in, written at their
// offsets into the named file).
//
// A file writer creates its file when the graph starts and never replaces a
// file that was there before, unless overwriting was asked for (the chosen
// output of a join): then it writes beside it and puts the new file in its
// place only when the job ends. On a failure the partial output is removed;
// on a user stop what was written stays.

#include "Filter.h"
#include "MediaTypes.h"

#include <memory>
#include <string>

class IFileSinkFilter {
public:
    virtual ~IFileSinkFilter() = default;
    // `type` must be null.
    virtual HRESULT SetFileName(const std::string& path, const MediaType* type) = 0;
    virtual HRESULT GetCurFile(std::string* path) const = 0;
    // true: an existing file of that name may be replaced (default false).
    virtual HRESULT SetOverwrite(bool overwrite) = 0;
    // The job is being cancelled: the coming stop removes the output instead
    // of keeping what was written (an overwritten file then stays as it was).
    virtual void DiscardOutput() = 0;
};

// The writer facet of a file writer; null for any other filter.
IFileSinkFilter* GetFileSink(const std::shared_ptr<CBaseFilter>& filter);

std::shared_ptr<CBaseFilter> CreateRawFileWriter();    // "36A5F770-..."
std::shared_ptr<CBaseFilter> CreateSystemFileWriter(); // CLSID_FileWriter
std::shared_ptr<CBaseFilter> CreateWavWriter();        // "3C78B8E2-..."

// Registers the encoder, the WAV writer and the file writers (called by
// MediaInitialize).
void RegisterRenderFilters();
