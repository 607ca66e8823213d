#include "OutputNaming.h"

#include "media/filters/OutputFile.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool EqualsIgnoringCase(const std::string& text, std::size_t at, const std::string& what)
{
    if (at + what.size() > text.size())
        return false;
    for (std::size_t i = 0; i < what.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != what[i])
            return false;
    return true;
}

} // namespace

std::string FitOutputName(const std::string& name, bool mp3Output)
{
    const std::string from = mp3Output ? ".wav" : ".mp3";
    const std::string to = mp3Output ? ".mp3" : ".wav";
    std::string fitted;
    fitted.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        if (EqualsIgnoringCase(name, i, from)) {
            fitted += to;
            i += from.size();
        } else {
            fitted += name[i++];
        }
    }
    return fitted;
}

bool MakeSureDirectoryPathExists(const std::string& dir, std::string* reason)
{
    std::error_code ec;
    if (dir.empty()) {
        if (reason)
            *reason = "no output folder was given";
        return false;
    }
    fs::create_directories(dir, ec);
    if (!ec && fs::is_directory(dir, ec))
        return true;
    if (reason)
        *reason = "cannot create the folder " + dir + ": "
                  + (ec ? ec.message() : std::string("a file of that name is in the way"));
    return false;
}

namespace {

std::string Candidate(const std::string& dir, const std::string& name, long long number)
{
    const std::string prefix = (dir.empty() || dir.back() == '/') ? dir : dir + "/";
    return prefix + std::to_string(number) + "-" + name;
}

} // namespace

long long FindFreeOutputNumber(const std::string& dir, const std::string& name, int pieceIndex)
{
    return FindFreeOutputNumber(dir, name, pieceIndex, NumberedName::Prefix);
}

long long FindFreeOutputNumber(const std::string& dir, const std::string& name, int pieceIndex, NumberedName how)
{
    const long long first = how == NumberedName::Prefix ? static_cast<long long>(pieceIndex) + 1 : 1;
    for (long long number = first;; ++number) {
        std::error_code ec;
        const std::string candidate =
            how == NumberedName::Prefix ? Candidate(dir, name, number) : NumberedOutputPath(dir, name, number, how);
        // symlink_status: a dangling link is taken too, as is a folder.
        if (!fs::exists(fs::symlink_status(candidate, ec)))
            return number;
    }
}

std::string FindFreeOutputPath(const std::string& dir, const std::string& name, int pieceIndex)
{
    return Candidate(dir, name, FindFreeOutputNumber(dir, name, pieceIndex));
}
