// tarnwick-cli's argument parsers on any text: one argument per line. The
// parsers may refuse with cli::UsageError or cli::Failure; any other
// exception escapes and is a finding. Accepted values must survive being
// written out and read again.

#include "CliArgs.h"
#include "media/graph/TimeText.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    lines.push_back(text.substr(at));
    return lines;
}

void CheckTime(const std::string& text)
{
    try {
        const REFERENCE_TIME t = cli::ParseTime(text);
        FUZZ_CHECK(t >= 0 && t % 10'000 == 0);
        FUZZ_CHECK(cli::ParseTime(FormatClockMs(t)) == t);
    } catch (const cli::UsageError&) {
    }
}

void CheckBitRate(const std::string& text)
{
    try {
        const int kbps = cli::ParseBitRate(text);
        FUZZ_CHECK(kbps >= 1 && kbps <= 9999);
        FUZZ_CHECK(cli::ParseBitRate(std::to_string(kbps)) == kbps);
    } catch (const cli::UsageError&) {
    }
}

// The option sets of split and join together, then the settings step both
// commands take from them.
void CheckCommandLine(const std::vector<std::string>& args)
{
    try {
        const cli::ParsedArgs parsed =
            cli::ParseArgs(args, {"--format", "--bitrate", "--samplerate", "--outdir"}, {"--overwrite"});
        FUZZ_CHECK(parsed.positional.size() + parsed.values.size() + parsed.flags.size() <= args.size());
        for (const std::string& p : parsed.positional)
            FUZZ_CHECK(std::find(args.begin(), args.end(), p) != args.end());
        const int hz = cli::KiloHertzToHz(parsed.Value("--samplerate").value_or("44.1"));
        FUZZ_CHECK(hz >= 0 && hz <= 1'000'000'000);
        const int kbps = cli::ParseBitRate(parsed.Value("--bitrate").value_or("192"));
        const cli::Mp3Settings settings = cli::ResolveMp3Settings(hz, kbps);
        FUZZ_CHECK(settings.sampleRate == hz && settings.bitRate > 0);
        FUZZ_CHECK(settings.note.empty() == (settings.bitRate == kbps));
    } catch (const cli::UsageError&) {
    } catch (const cli::Failure&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> args = Lines(std::string(reinterpret_cast<const char*>(data), size));
    for (const std::string& arg : args) {
        CheckTime(arg);
        CheckBitRate(arg);
    }
    CheckCommandLine(args);
    return 0;
}
