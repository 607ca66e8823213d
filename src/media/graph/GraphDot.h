#pragma once
// The graph drawn as Graphviz DOT, in place of a saved graph file.

#include "media/graph/MediaTypes.h"

#include <string>

class CFilterGraph;

// Writes the graph as a Graphviz DOT description (filters with names and
// settings, pins, connections with their formats).
[[nodiscard]] HRESULT SaveGraphAsDot(const CFilterGraph& graph, const std::string& path);
// Where the last split piece's graph goes: "a.dot" in the user's cache folder
// ($XDG_CACHE_HOME or ~/.cache, then "/tarnwick"), the folder created.
std::string DefaultGraphDotPath();
