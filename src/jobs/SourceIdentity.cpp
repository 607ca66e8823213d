#include "SourceIdentity.h"

#include <sys/stat.h>

namespace {

SourceIdentity FromStat(const struct stat& info)
{
    SourceIdentity identity;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.inode = static_cast<std::uint64_t>(info.st_ino);
    identity.size = static_cast<std::int64_t>(info.st_size);
    identity.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return identity;
}

} // namespace

SourceIdentity IdentifySource(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return {};
    return FromStat(info);
}

SourceIdentity IdentifySource(int fd)
{
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0)
        return {};
    return FromStat(info);
}

std::string SourceChange(const std::string& path, const SourceIdentity& identity)
{
    if (identity.Known() && IdentifySource(path) == identity)
        return {};
    return "cannot read " + path + ": the file changed while it was read";
}
