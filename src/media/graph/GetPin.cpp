#include "media/graph/GetPin.h"

HRESULT GetPin(const std::shared_ptr<CBaseFilter>& filter, PIN_DIRECTION direction, int index,
               std::shared_ptr<CPin>* pin)
{
    if (!pin)
        return E_POINTER;
    pin->reset();
    if (!filter)
        return E_POINTER;
    for (const auto& candidate : filter->EnumPins()) {
        // Preset to no valid direction, so that a failed query never matches.
        auto found = static_cast<PIN_DIRECTION>(3);
        candidate->QueryDirection(&found);
        if (found != direction)
            continue;
        if (index == 0) {
            *pin = candidate;
            return S_OK;
        }
        --index;
    }
    return E_FAIL;
}
