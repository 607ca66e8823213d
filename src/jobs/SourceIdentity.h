#pragma once
// Which file a source is, and as it was: its device and inode, size and
// modification time. Taken when a job measures or opens its source and
// again when it ends, so that a source replaced or rewritten while the job
// read it fails the job instead of giving a piece of mixed contents.

#include <cstdint>
#include <string>

struct SourceIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1; // -1: not known (the file could not be looked at)
    std::int64_t modifiedNs = 0;

    bool Known() const { return size >= 0; }
    bool operator==(const SourceIdentity&) const = default;
};

// The file at `path` (links followed), or an unknown identity.
SourceIdentity IdentifySource(const std::string& path);
// The file open on `fd`.
SourceIdentity IdentifySource(int fd);

// "" while `path` is still the file `identity` describes; otherwise the
// reason a job gives: "cannot read PATH: the file changed while it was read".
std::string SourceChange(const std::string& path, const SourceIdentity& identity);
