#pragma once

#include "media/graph/MediaTypes.h"

#include <cstdint>
#include <memory>

// A media type record owned by the program.
class CMediaTypeValue {
public:
    CMediaTypeValue();
    ~CMediaTypeValue();
    CMediaTypeValue(const CMediaTypeValue&) = delete;
    CMediaTypeValue& operator=(const CMediaTypeValue&) = delete;

    void SetMajorType(const GUID& guid);
    // Frees the format block (when cbFormat is not 0) and lets pUnk go;
    // harmless when run again.
    void FreeFields();

    GUID majortype;
    GUID subtype;
    std::int32_t bFixedSizeSamples = 1;
    std::int32_t bTemporalCompression = 0;
    std::uint32_t lSampleSize = 1;
    GUID formattype;
    std::shared_ptr<void> pUnk;
    std::uint32_t cbFormat = 0;
    std::uint8_t* pbFormat = nullptr; // allocated with std::malloc
};
