// Read by the page include check, never compiled: a page source reaching
// into the engine past what its library allows.
#include "media/graph/MediaTime.h"
#include "media/render/MediaGraph.h"
