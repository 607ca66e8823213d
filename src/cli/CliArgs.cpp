#include "CliArgs.h"

#include "media/filters/Mp3Settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace cli {
namespace {

bool AllDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

const char* VersionOf(int sampleRate)
{
    if (sampleRate >= 32000)
        return "MPEG-1";
    return sampleRate >= 16000 ? "MPEG-2" : "MPEG-2.5";
}

} // namespace

std::optional<std::string> ParsedArgs::Value(const std::string& name) const
{
    auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> ParsedArgs::Values(const std::string& name) const
{
    auto it = every.find(name);
    return it == every.end() ? std::vector<std::string>() : it->second;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions)
{
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        if (eq == std::string::npos && flagOptions.count(name)) {
            parsed.flags.insert(name);
        } else if (valueOptions.count(name)) {
            if (eq != std::string::npos) {
                parsed.values[name] = arg.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                parsed.values[name] = args[++i];
            } else {
                throw UsageError(name + " needs a value");
            }
            parsed.every[name].push_back(parsed.values[name]);
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    return parsed;
}

REFERENCE_TIME ParseTime(const std::string& text)
{
    const auto bad = [&text]() {
        return UsageError("bad time \"" + text + "\" (use hh:mm:ss or hh:mm:ss.mmm)");
    };
    const auto c1 = text.find(':');
    const auto c2 = c1 == std::string::npos ? c1 : text.find(':', c1 + 1);
    if (c2 == std::string::npos)
        throw bad();
    const std::string hours = text.substr(0, c1);
    const std::string minutes = text.substr(c1 + 1, c2 - c1 - 1);
    std::string seconds = text.substr(c2 + 1);
    std::string fraction;
    if (const auto dot = seconds.find('.'); dot != std::string::npos) {
        fraction = seconds.substr(dot + 1);
        seconds.resize(dot);
        if (!AllDigits(fraction) || fraction.size() > 3)
            throw bad();
    }
    if (!AllDigits(hours) || hours.size() > 6 || !AllDigits(minutes) || minutes.size() > 2
        || !AllDigits(seconds) || seconds.size() > 2)
        throw bad();
    const long h = std::stol(hours), m = std::stol(minutes), s = std::stol(seconds);
    if (m >= 60 || s >= 60)
        throw bad();
    while (fraction.size() < 3)
        fraction += '0';
    const long ms = std::stol(fraction);
    return MsToTime((std::int64_t(h) * 3600 + m * 60 + s) * 1000 + ms);
}

int KiloHertzToHz(const std::string& text)
{
    const double khz = std::strtod(text.c_str(), nullptr);
    const double hz = khz * 1000.0;
    if (!(hz > 0) || hz > 1e9)
        return 0;
    return int(hz);
}

int ParseBitRate(const std::string& text)
{
    if (!AllDigits(text) || text.size() > 4 || std::stoi(text) == 0)
        throw UsageError("bad bit rate \"" + text + "\" (kbps, e.g. 192)");
    return std::stoi(text);
}

Mp3Settings ResolveMp3Settings(int sampleRateHz, int bitRateKbps)
{
    if (!IsMp3SampleRate(sampleRateHz))
        throw UsageError((sampleRateHz > 0 ? HzToKiloHertzText(sampleRateHz) + " kHz" : std::string("that"))
                      + " is not an MP3 sample rate (8, 11.025, 12, 16, 22.05, 24, 32, 44.1 or 48 kHz)");

    // The encoder's own rule decides what it writes; say so when it differs.
    Mp3Settings settings;
    settings.sampleRate = sampleRateHz;
    settings.bitRate = LegalMp3Bitrate(bitRateKbps, sampleRateHz);
    if (settings.bitRate == bitRateKbps)
        return settings;
    const int highest = LegalMp3Bitrate(100000, sampleRateHz);
    const int lowest = LegalMp3Bitrate(1, sampleRateHz);
    const std::string where = std::string(VersionOf(sampleRateHz)) + " allows at " + HzToKiloHertzText(sampleRateHz)
                              + " kHz";
    const std::string asked = std::to_string(bitRateKbps) + " kbps";
    if (bitRateKbps > highest)
        settings.note = asked + " is above the " + std::to_string(highest) + " kbps " + where;
    else if (bitRateKbps < lowest)
        settings.note = asked + " is below the " + std::to_string(lowest) + " kbps " + where;
    else
        settings.note = asked + " is not a bit rate " + where;
    settings.note = "note: " + settings.note + "; using " + std::to_string(settings.bitRate) + " kbps";
    return settings;
}

tags::TagEdits ParseTagOptions(const ParsedArgs& parsed)
{
    tags::TagEdits edits;
    for (const std::string& text : parsed.Values("--tag")) {
        std::string reason;
        const auto edit = tags::ParseTagEdit(text, &reason);
        if (!edit)
            throw UsageError("--tag " + reason);
        edits.push_back(*edit);
    }
    if (!edits.empty() && parsed.Flag("--no-tags"))
        throw UsageError("--tag and --no-tags do not go together");
    return edits;
}

} // namespace cli
