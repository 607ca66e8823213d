// Any bytes laid out as an MP3 file for copying its frames, and pieces of it
// planned: the layout's frames lie inside the file in order, and a plan
// keeps its delay and padding within the Info frame's 12 bits and its runs
// inside the source.

#include "FuzzCheck.h"
#include "Mp3CopyPlan.h"
#include "media/graph/UniqueFd.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = ::memfd_create("tarnwick-fuzz-input", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, data, size) == static_cast<ssize_t>(size));
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    Mp3Layout layout;
    std::string reason;
    if (ReadMp3Layout(path, &layout, &reason)) {
        std::int64_t end = 0;
        for (const Mp3AudioFrame& frame : layout.frames) {
            FUZZ_CHECK(frame.offset >= end && frame.offset + frame.bytes <= std::int64_t(size));
            end = frame.offset + frame.bytes;
        }
        FileBytes file(fd, std::int64_t(size));
        const std::int64_t length = layout.LengthSamples();
        for (const auto& [first, stop] : {std::pair<std::int64_t, std::int64_t>{0, length},
                                          {length / 3, length - length / 3}, {length - 2400, length}}) {
            Mp3CopyPlan plan;
            if (first < 0 || !PlanMp3CopyOfSamples(layout, file, first, stop, &plan, &reason))
                continue;
            FUZZ_CHECK(plan.info.lame.delay >= 0 && plan.info.lame.delay <= 4095);
            FUZZ_CHECK(plan.info.lame.padding >= 0 && plan.info.lame.padding <= 4095);
            for (const ByteRange& run : plan.runs)
                FUZZ_CHECK(run.begin >= 0 && run.begin < run.end && run.end <= std::int64_t(size));
            FUZZ_CHECK(MakeInfoFrame(plan.infoHeader, plan.info).size() == std::size_t(plan.infoHeader.frameBytes));
        }
    } else {
        FUZZ_CHECK(!reason.empty());
    }
    ::close(fd);
    return 0;
}
