#pragma once
// Command-line vocabulary of tarnwick-cli: the two kinds of failure, option
// splitting, and the parsers for times and encoder settings.

#include "TagFields.h"
#include "media/filters/Mp3Settings.h"
#include "media/graph/MediaTime.h"

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// Wrong use of the command line: exit 2 with the usage text.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// A job that cannot be done or failed: exit 1 with a one-line message.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Positional arguments and --options of one command. "--name value" and
// "--name=value" both work; "--" ends the options. An option named in both
// sets is a flag on its own and takes a value only after "=" ("--copy",
// "--copy=auto").
struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values; // options that take a value: the last one given
    std::map<std::string, std::vector<std::string>> every; // ... and every one, in order ("--tag a --tag b")
    std::set<std::string> flags;               // options without one

    std::optional<std::string> Value(const std::string& name) const;
    std::vector<std::string> Values(const std::string& name) const;
    bool Flag(const std::string& name) const { return flags.count(name) != 0; }
};
ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions);

// "hh:mm:ss" or "hh:mm:ss.mmm" (hours any width, minutes and seconds below
// 60, one to three fraction digits) in 100 ns units. Throws UsageError.
REFERENCE_TIME ParseTime(const std::string& text);

// Kilohertz text read as the split settings dialog reads it: the leading
// decimal number times 1000, truncated ("44.1" -> 44100, "22.05" -> 22050).
int KiloHertzToHz(const std::string& text);
// A whole positive number of kbps. Throws UsageError.
int ParseBitRate(const std::string& text);

// The MP3 settings a job uses: the sample rate must be one MPEG audio has;
// a bit rate its MPEG version cannot carry is moved to the nearest legal
// one and `note` says so. Throws UsageError for a sample rate MP3 lacks.
struct Mp3Settings {
    int sampleRate = kDefaultMp3SampleRate;
    int bitRate = kDefaultMp3Bitrate;
    std::string note; // "" when the bit rate stands as asked
};
Mp3Settings ResolveMp3Settings(int sampleRateHz, int bitRateKbps);

// Every --tag FIELD=VALUE, in order (a later one of a field wins). Throws
// UsageError for a field that is not one, and for --tag with --no-tags.
tags::TagEdits ParseTagOptions(const ParsedArgs& parsed);

} // namespace cli
