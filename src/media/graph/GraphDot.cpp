// The graph as a Graphviz DOT description: one box per filter (name, class,
// settings) with its pins, and one edge per connection labelled with its
// format. Stands in for the binary graph file of other platforms.

#include "media/graph/GraphDot.h"

#include "media/graph/CFilterGraph.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

// Text inside a double-quoted DOT string; "\n" sequences written by
// Describe() stay line breaks.
std::string Quote(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\\n";
            ++i;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

// Record labels also treat braces, bars and angle brackets as syntax.
std::string RecordText(const std::string& text)
{
    std::string out;
    for (char c : Quote(text)) {
        if (c == '{' || c == '}' || c == '|' || c == '<' || c == '>')
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

HRESULT SaveGraphAsDot(const CFilterGraph& graph, const std::string& path)
{
    const auto filters = graph.EnumFilters();
    std::map<const CBaseFilter*, int> ids;
    std::map<const CPin*, std::string> pinIds;
    for (std::size_t i = 0; i < filters.size(); ++i)
        ids[filters[i].get()] = static_cast<int>(i);

    std::ostringstream dot;
    dot << "digraph \"graph\" {\n  rankdir=LR;\n  node [shape=record, fontname=\"sans\"];\n";
    for (std::size_t i = 0; i < filters.size(); ++i) {
        const CBaseFilter& filter = *filters[i];
        std::string inputs, outputs;
        int pinIndex = 0;
        for (const auto& pin : filter.EnumPins()) {
            PIN_DIRECTION dir = PINDIR_INPUT;
            pin->QueryDirection(&dir);
            const std::string port = "p" + std::to_string(pinIndex++);
            pinIds[pin.get()] = "f" + std::to_string(i) + ":" + port;
            std::string& side = dir == PINDIR_INPUT ? inputs : outputs;
            side += std::string(side.empty() ? "" : "|") + "<" + port + "> " + RecordText(pin->Name());
        }
        std::string body = RecordText(filter.QueryFilterInfo()) + "\\n" + RecordText(filter.ClassId());
        const std::string settings = filter.Describe();
        if (!settings.empty())
            body += "\\n" + RecordText(settings);
        dot << "  f" << i << " [label=\"{{" << inputs << "}|" << body << "|{" << outputs << "}}\"];\n";
    }
    for (const auto& filter : filters) {
        for (const auto& pin : filter->EnumPins()) {
            PIN_DIRECTION dir = PINDIR_INPUT;
            pin->QueryDirection(&dir);
            const auto peer = pin->ConnectedTo();
            if (dir != PINDIR_OUTPUT || !peer || !pinIds.count(peer.get()))
                continue;
            dot << "  " << pinIds[pin.get()] << " -> " << pinIds[peer.get()] << " [label=\""
                << Quote(DescribeMediaType(pin->ConnectionMediaType())) << "\"];\n";
        }
    }
    dot << "}\n";

    // Written beside and renamed, so that a reader never sees half a file.
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return E_FAIL;
        out << dot.str();
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return E_FAIL;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return E_FAIL;
    }
    return S_OK;
}

std::string DefaultGraphDotPath()
{
    std::filesystem::path folder;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && *cache == '/') {
        folder = cache;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home && *home ? home : "/tmp") / ".cache";
    }
    folder /= "tarnwick";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return (folder / "a.dot").string();
}
