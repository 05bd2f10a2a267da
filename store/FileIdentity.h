#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

// What tells one state of a file from another without reading it: a file
// replaced by a rename has another inode, an appended one another size, one
// written over in place another modification or change time.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool operator==(const FileIdentity&) const = default;
};

// None when nothing can be found at the path.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& file);
// The same of an open file, which no rename can swap under the caller.
std::optional<FileIdentity> IdentityOf(int fd);
