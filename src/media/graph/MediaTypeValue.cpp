#include "media/graph/MediaTypeValue.h"

#include <cstdlib>

CMediaTypeValue::CMediaTypeValue() = default;

CMediaTypeValue::~CMediaTypeValue()
{
    FreeFields();
}

void CMediaTypeValue::SetMajorType(const GUID& guid)
{
    majortype = guid;
}

void CMediaTypeValue::FreeFields()
{
    if (cbFormat != 0) {
        std::free(pbFormat);
        cbFormat = 0;
        pbFormat = nullptr;
    }
    pUnk.reset();
}
