// tarnwick-cli: probe, split, join and cut into tracks sound files from the command line,
// through the same graph-building code as the desktop program.

#include "CliArgs.h"
#include "Commands.h"
#include "Console.h"
#include "media/graph/FilterRegistry.h"
#include "media/render/MediaInit.h"
#include "JobWatch.h"
#include "TarnwickVersion.h"

#include <cstdio>
#include <exception>

namespace {

const char kUsage[] =
    "usage: tarnwick-cli probe [--tags] FILE...\n"
    "       tarnwick-cli split SOURCE START STOP [--format mp3|wav] [--bitrate KBPS]\n"
    "                          [--samplerate KHZ] [--outdir DIR] [--copy[=auto]]\n"
    "                          [--tag FIELD=VALUE]... [--no-tags]\n"
    "       tarnwick-cli join OUTPUT INPUT... [--bitrate KBPS] [--samplerate KHZ] [--overwrite]\n"
    "                         [--tag FIELD=VALUE]... [--no-tags] [--no-chapters] [--cover FILE|none]\n"
    "       tarnwick-cli tracks SOURCE (--cue FILE | --labels FILE | --silence[=DB[,SECONDS]]\n"
    "                           | --parts N | --every hh:mm:ss | --at T1,T2,...) [--snap SECONDS]\n"
    "                           [--trim-silence] [--copy[=auto] | --format mp3|wav [--bitrate KBPS]\n"
    "                           [--samplerate KHZ]] [--outdir DIR] [--name TEMPLATE] [--dry-run]\n"
    "                           [--export-cue FILE] [--export-labels FILE] [--no-tags]\n"
    "       tarnwick-cli --help | --version\n"
    "\n"
    "  probe  prints per file: duration (100 ns units), hh:mm:ss, sample rate, channels, path;\n"
    "         --tags adds the file's tags and chapters, one a line\n"
    "  split  writes the stretch [START, STOP) of SOURCE as a new numbered piece\n"
    "         (START/STOP as hh:mm:ss or hh:mm:ss.mmm; defaults: mp3, 192 kbps, 44.1 kHz,\n"
    "         folder SOURCE's folder/Split) and prints its path; --copy copies the\n"
    "         MP3 frames of an MP3 SOURCE without re-encoding, sample-exact for\n"
    "         gapless players, and fails where it cannot; --copy=auto re-encodes then.\n"
    "         The piece keeps SOURCE's tags, made true for the piece\n"
    "  join   writes the INPUTs back to back into the MP3 file OUTPUT\n"
    "         (defaults: 192 kbps, 44.1 kHz; --overwrite replaces an existing OUTPUT),\n"
    "         tagged with the first INPUT's album, artist, year, genre and cover and a\n"
    "         chapter for each INPUT; --cover takes a JPEG or PNG file, or none\n"
    "  tracks writes every track of SOURCE as a piece of its own, tagged (title, artist,\n"
    "         album, track k/N, date, genre) and named by TEMPLATE ({n} {title} {performer}\n"
    "         {source}; default \"{n} - {title}\") in DIR (default SOURCE's folder/Split),\n"
    "         and prints their paths. The tracks come from a cue sheet, a label file\n"
    "         (start<TAB>end<TAB>title in seconds), the middles of the silences (RMS of 50 ms\n"
    "         below DB dBFS for SECONDS; default: 12 dB over the noise floor, 2 s), N equal\n"
    "         parts, parts of a given length or cuts at the times given; --snap moves each\n"
    "         cut of those to the middle of the nearest pause within SECONDS;\n"
    "         --trim-silence cuts the silence off each track's ends. MP3 SOURCE: frames\n"
    "         copied without re-encoding unless --format is given. --dry-run prints\n"
    "         number, start, end, length and name of each track and writes nothing\n"
    "\n"
    "  --tag FIELD=VALUE sets a tag (title, artist, album, albumartist, year, genre,\n"
    "  track, comment; an empty VALUE removes it); --no-tags writes none\n"
    "\n"
    "exit status: 0 success, 1 failure (also when standard output cannot be written),\n"
    "             2 wrong use\n";

// Holds the media layer for the run of one command.
struct MediaSession {
    MediaSession() { MediaInitialize(); }
    ~MediaSession() { MediaUninitialize(); }
};

int RunCommand(const std::string& command, const std::vector<std::string>& args)
{
    try {
        cli::InstallInterruptHandlers();
        cli::QuietLibraries();
        MediaSession media;
        if (command == "probe")
            return cli::RunProbe(args);
        if (command == "split")
            return cli::RunSplit(args);
        if (command == "join")
            return cli::RunJoin(args);
        if (command == "tracks")
            return cli::RunTracks(args);
        throw cli::UsageError("unknown command \"" + command + "\"");
    } catch (const cli::UsageError& e) {
        std::fprintf(cli::Messages(), "tarnwick-cli: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(cli::Messages(), "tarnwick-cli: %s\n", e.what());
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    int status = 0;
    if (command == "-h" || command == "--help" || command == "help")
        std::fputs(kUsage, stdout);
    else if (command == "--version")
        std::puts("tarnwick-cli " TARNWICK_VERSION);
    else
        status = RunCommand(command, std::vector<std::string>(argv + 2, argv + argc));
    // What was printed counts only if it was written.
    if (std::string reason; !cli::FinishStandardOutput(&reason)) {
        std::fprintf(cli::Messages(), "tarnwick-cli: %s\n", reason.c_str());
        return 1;
    }
    return status;
}
