#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

// What tells one state of a file from another without reading it: a file
// replaced by a rename is another file, an appended one has another size, one
// written over in place another modification or change time. What makes up
// the file's identity is the system's own; only its size is told.
class FileIdentity {
public:
    FileIdentity() = default;

    std::uint64_t Size() const { return size_; }
    // Whether both are states of one file, whatever was written to it between.
    bool IsSameFile(const FileIdentity& other) const {
        return volume_ == other.volume_ && file_ == other.file_;
    }
    bool operator==(const FileIdentity&) const = default;

private:
    friend struct NativeIdentity;

    std::uint64_t volume_ = 0;
    std::uint64_t file_ = 0;
    std::uint64_t size_ = 0;
    std::int64_t modifiedNs_ = 0;
    std::int64_t changedNs_ = 0;
};

// None when nothing can be found at the path.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& file);
