#pragma once
// Creates filters from the class identifier texts the pages hold, as
// creating a registered class does; unknown identifiers fail with
// REGDB_E_CLASSNOTREG.

#include "media/graph/ClassIds.h"
#include "media/graph/Filter.h"

#include <functional>
#include <memory>
#include <string>

using FilterFactory = std::function<std::shared_ptr<CBaseFilter>()>;

// Registers a factory under an identifier text (any case, braces optional).
void RegisterFilterClass(const std::string& clsidText, FilterFactory factory);
// Stands in for CoCreateInstance of a filter: S_OK, REGDB_E_CLASSNOTREG, or
// E_INVALIDARG for text that is not an identifier.
[[nodiscard]] HRESULT CreateFilter(const std::string& clsidText, std::shared_ptr<CBaseFilter>* filter);
[[nodiscard]] HRESULT CreateFilter(const GUID& clsid, std::shared_ptr<CBaseFilter>* filter);
