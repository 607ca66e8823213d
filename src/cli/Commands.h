#pragma once
// The commands of tarnwick-cli. Each takes the arguments after its
// name and returns the exit status; wrong use throws cli::UsageError, a job
// that cannot be done throws cli::Failure.

#include "SourceMeasure.h"

#include <string>
#include <vector>

namespace cli {

int RunProbe(const std::vector<std::string>& args);
int RunSplit(const std::vector<std::string>& args);
int RunJoin(const std::vector<std::string>& args);
int RunTracks(const std::vector<std::string>& args);

// The measure of a sound file (SourceMeasure.h); throws Failure naming the
// file and the reason when it cannot be read.
SourceMeasure MeasureReadable(const std::string& path);

// Says on standard error which unfinished files of killed runs a job removed.
void NoteReclaimed(const std::vector<std::string>& removed);

// Says on standard error, as "warning: LINE", each of `lines` from
// `*told` on, and counts them as told.
void Warn(const std::vector<std::string>& lines, std::size_t* told);

} // namespace cli
