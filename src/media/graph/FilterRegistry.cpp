#include "media/graph/FilterRegistry.h"

#include <map>
#include <mutex>

namespace {

std::mutex g_registryMutex;

std::map<std::string, FilterFactory>& Registry()
{
    static std::map<std::string, FilterFactory> registry;
    return registry;
}

} // namespace

void RegisterFilterClass(const std::string& clsidText, FilterFactory factory)
{
    const auto guid = GuidFromString(clsidText);
    if (!guid)
        return;
    std::lock_guard lock(g_registryMutex);
    Registry()[GuidToString(*guid)] = std::move(factory);
}

HRESULT CreateFilter(const GUID& clsid, std::shared_ptr<CBaseFilter>* filter)
{
    if (!filter)
        return E_POINTER;
    filter->reset();
    FilterFactory factory;
    {
        std::lock_guard lock(g_registryMutex);
        auto it = Registry().find(GuidToString(clsid));
        if (it == Registry().end())
            return REGDB_E_CLASSNOTREG;
        factory = it->second;
    }
    *filter = factory();
    return *filter ? S_OK : E_OUTOFMEMORY;
}

HRESULT CreateFilter(const std::string& clsidText, std::shared_ptr<CBaseFilter>* filter)
{
    if (!filter)
        return E_POINTER;
    filter->reset();
    GUID guid;
    const HRESULT hr = UuidFromString(clsidText, &guid);
    if (FAILED(hr))
        return hr;
    return CreateFilter(guid, filter);
}
