#pragma once
// The three commands of tarnwick-cli. Each takes the arguments after its
// name and returns the exit status; wrong use throws cli::UsageError, a job
// that cannot be done throws cli::Failure.

#include <string>
#include <vector>

namespace cli {

int RunProbe(const std::vector<std::string>& args);
int RunSplit(const std::vector<std::string>& args);
int RunJoin(const std::vector<std::string>& args);

// Duration of a sound file measured by the same decoding graph the join
// page builds; throws Failure naming the file and the reason when it cannot
// be read.
struct Measured {
    long long duration = 0; // 100 ns units
    int sampleRate = 0;
    int channels = 0;
};
Measured MeasureFile(const std::string& path);

} // namespace cli
