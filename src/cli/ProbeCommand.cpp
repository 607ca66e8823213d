// tarnwick-cli probe FILE...
//
// One tab-separated line per file: duration in 100 ns units, its hh:mm:ss
// text, sample rate, channels, path. The figures come from the measure the
// join job and the join page take of their files.

#include "CliArgs.h"
#include "Commands.h"
#include "Console.h"
#include "SourceMeasure.h"
#include "media/graph/TimeText.h"

#include <cstdio>
#include <stdexcept>

namespace cli {

SourceMeasure MeasureReadable(const std::string& path)
{
    SourceMeasure measure = MeasureSource(path);
    if (!measure.Readable())
        throw Failure("cannot read " + path + ": " + measure.error);
    return measure;
}

void NoteReclaimed(const std::vector<std::string>& removed)
{
    for (const std::string& path : removed)
        std::fprintf(Messages(), "note: removed %s, left unfinished by a run that was killed\n", path.c_str());
}

int RunProbe(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(args, {}, {});
    if (parsed.positional.empty())
        throw UsageError("probe takes at least one FILE");
    int status = 0;
    for (const std::string& path : parsed.positional) {
        try {
            const SourceMeasure m = MeasureReadable(path);
            std::printf("%lld\t%s\t%d\t%d\t%s\n", static_cast<long long>(m.duration), FormatClock(m.duration).c_str(),
                        m.sampleRate, m.channels, path.c_str());
        } catch (const Failure& e) {
            std::fprintf(Messages(), "tarnwick-cli: %s\n", e.what());
            status = 1;
        }
        // Each line as it is known; one that cannot be written ends the run.
        if (std::string reason; !FinishStandardOutput(&reason))
            throw std::runtime_error(reason);
    }
    return status;
}

} // namespace cli
