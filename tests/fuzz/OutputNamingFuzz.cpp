// Naming and placing split pieces with any name: fitting the name to the
// output format, finding a free numbered path among taken ones, and creating
// output folders. Everything happens inside a scratch folder of its own.
//
// Input: byte 0 bit 0 = MP3 output, bytes 1-4 = the piece index, the rest the
// name (also used as a folder path below the scratch folder).

#include "FuzzCheck.h"
#include "OutputNaming.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path g_scratch; // holds "taken" and "folders"

fs::path Taken() { return g_scratch / "taken"; }
fs::path Folders() { return g_scratch / "folders"; }

// Pieces 1 to 3 of "a.mp3" are taken by a file, a folder and a dangling link.
void MakeTakenNames()
{
    fs::create_directories(Taken() / "2-a.mp3");
    std::FILE* file = std::fopen((Taken() / "1-a.mp3").c_str(), "w");
    FUZZ_CHECK(file);
    std::fclose(file);
    fs::create_symlink("nowhere", Taken() / "3-a.mp3");
}

// A fresh folder tree with a file and a dangling link where folders may be asked for.
void ResetFolders()
{
    std::error_code ec;
    fs::remove_all(Folders(), ec);
    fs::create_directories(Folders());
    std::FILE* file = std::fopen((Folders() / "file").c_str(), "w");
    FUZZ_CHECK(file);
    std::fclose(file);
    fs::create_symlink("missing", Folders() / "link");
}

bool ContainsIgnoringCase(const std::string& text, const std::string& lowerWhat)
{
    for (std::size_t at = 0; at + lowerWhat.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < lowerWhat.size() && std::tolower(static_cast<unsigned char>(text[at + i])) == lowerWhat[i])
            ++i;
        if (i == lowerWhat.size())
            return true;
    }
    return false;
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& lowerWhat)
{
    return text.size() >= lowerWhat.size()
           && ContainsIgnoringCase(text.substr(text.size() - lowerWhat.size()), lowerWhat);
}

void CheckFittedName(const std::string& name, bool mp3Output)
{
    const std::string from = mp3Output ? ".wav" : ".mp3";
    const std::string to = mp3Output ? ".mp3" : ".wav";
    const std::string fitted = FitOutputName(name, mp3Output);
    FUZZ_CHECK(fitted.size() == name.size());
    FUZZ_CHECK(!ContainsIgnoringCase(fitted, from));
    if (EndsWithIgnoringCase(name, from))
        FUZZ_CHECK(fitted.compare(fitted.size() - to.size(), to.size(), to) == 0);
}

void CheckFreePath(const std::string& name, int pieceIndex)
{
    const std::string dir = Taken().string();
    const std::string path = FindFreeOutputPath(dir, name, pieceIndex);
    FUZZ_CHECK(path.compare(0, dir.size() + 1, dir + "/") == 0);
    const long long number = std::strtoll(path.c_str() + dir.size() + 1, nullptr, 10);
    FUZZ_CHECK(number >= static_cast<long long>(pieceIndex) + 1);
    FUZZ_CHECK(path.compare(path.size() - name.size(), name.size(), name) == 0);
    std::error_code ec;
    FUZZ_CHECK(!fs::exists(fs::symlink_status(path, ec)));
}

void CheckFolder(const std::string& relative)
{
    // Only below the scratch folder, and not so deep that one input takes long.
    if (relative.size() > 200 || relative.find("..") != std::string::npos)
        return;
    ResetFolders();
    const std::string dir = Folders().string() + "/" + relative;
    std::string reason;
    const bool made = MakeSureDirectoryPathExists(dir, &reason);
    std::error_code ec;
    if (made)
        FUZZ_CHECK(fs::is_directory(dir, ec));
    else
        FUZZ_CHECK(!reason.empty());
}

void RemoveScratch()
{
    std::error_code ec;
    fs::remove_all(g_scratch, ec);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string pattern = (fs::temp_directory_path() / "tarnwick-fuzz-naming-XXXXXX").string();
    FUZZ_CHECK(::mkdtemp(pattern.data()));
    g_scratch = pattern;
    MakeTakenNames();
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    const bool mp3Output = data[0] & 1;
    std::int32_t pieceIndex;
    std::memcpy(&pieceIndex, data + 1, sizeof pieceIndex);
    const std::string name(reinterpret_cast<const char*>(data + 5), size - 5);

    CheckFittedName(name, mp3Output);
    CheckFreePath(name, pieceIndex);
    CheckFolder(name);
    return 0;
}
