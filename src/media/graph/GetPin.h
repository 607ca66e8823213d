#pragma once
// Finds a filter's pin by direction and position.

#include "media/graph/Filter.h"

#include <memory>

// The `index`-th pin (from 0) of `direction` on `filter`, in the filter's pin
// order: S_OK, E_POINTER for no filter, E_FAIL when there is no such pin
// (`*pin` is then null).
[[nodiscard]] HRESULT GetPin(const std::shared_ptr<CBaseFilter>& filter, PIN_DIRECTION direction, int index,
               std::shared_ptr<CPin>* pin);
