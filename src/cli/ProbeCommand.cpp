// tarnwick-cli probe [--tags] FILE...
//
// One tab-separated line per file: duration in 100 ns units, its hh:mm:ss
// text, sample rate, channels, path. The figures come from the measure the
// join job and the join page take of their files. With --tags the file's
// tags follow, one a line, each starting with a tab: "\tFIELD\tVALUE",
// "\tpicture\tMIME\tBYTES bytes\tKIND", "\tchapter\tSTART\tEND\tTITLE"
// (times as hh:mm:ss.mmm).

#include "CliArgs.h"
#include "Commands.h"
#include "Console.h"
#include "SourceMeasure.h"
#include "SourceTags.h"
#include "media/graph/TimeText.h"

#include <cstdio>
#include <stdexcept>

namespace cli {
namespace {

void PrintTags(const std::string& path)
{
    const tags::SourceTags read = tags::ReadSourceTags(path);
    if (!read.problem.empty()) {
        std::size_t told = 0;
        Warn({tags::TagProblemText(path, read.problem)}, &told);
        return;
    }
    for (tags::TagField field : tags::kAllTagFields)
        if (const std::string value = read.tags.Get(field); !value.empty())
            std::printf("\t%s\t%s\n", tags::TagFieldName(field), value.c_str());
    for (const tags::TagPicture& picture : read.tags.Pictures())
        std::printf("\tpicture\t%s\t%zu bytes\t%s\n", picture.mimeType.c_str(), picture.data.size(),
                    picture.frontCover ? "front cover" : "other");
    for (const tags::TagChapter& chapter : read.tags.Chapters())
        std::printf("\tchapter\t%s\t%s\t%s\n", FormatClockMs(MsToTime(chapter.startMs)).c_str(),
                    FormatClockMs(MsToTime(chapter.endMs)).c_str(), chapter.title.c_str());
}

} // namespace

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

void Warn(const std::vector<std::string>& lines, std::size_t* told)
{
    for (; *told < lines.size(); ++*told)
        std::fprintf(Messages(), "warning: %s\n", lines[*told].c_str());
}

int RunProbe(const std::vector<std::string>& args)
{
    const ParsedArgs parsed = ParseArgs(args, {}, {"--tags"});
    if (parsed.positional.empty())
        throw UsageError("probe takes at least one FILE");
    int status = 0;
    for (const std::string& path : parsed.positional) {
        try {
            const SourceMeasure m = MeasureReadable(path);
            std::printf("%lld\t%s\t%d\t%d\t%s\n", static_cast<long long>(m.duration), FormatClock(m.duration).c_str(),
                        m.sampleRate, m.channels, path.c_str());
            if (parsed.Flag("--tags"))
                PrintTags(path);
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
