#pragma once
// The terminal side of tarnwick-cli: where its own messages go, and what
// becomes of what the libraries print and of standard output's errors.

#include <cstdio>
#include <string>

namespace cli {

// Where the program's own messages go: the standard error it was started
// with.
std::FILE* Messages();

// From here on, what the libraries write to standard error by themselves
// goes nowhere (libmpg123 prints some notes on damaged frames whatever it
// is told); their errors reach the user through our messages. Messages()
// still reaches the user's standard error, and so do a sanitizer's reports
// in builds with one.
void QuietLibraries();

// Writes out what standard output still holds. False, with `reason`, when
// any of what was printed could not be written (a full disk, a closed pipe).
bool FinishStandardOutput(std::string* reason);

} // namespace cli
