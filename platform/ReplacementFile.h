#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "FileStatus.h"
#include "ScratchFile.h"

// A new version of a file, written beside it and renamed over it only once it
// is complete and on disk, so that after a crash or a power cut the name holds
// the old or the new contents, whole. The new version keeps the replaced
// file's mode and, where we may set it, its owner. Dropped uncommitted, the
// partial copy is removed again.
//
// What is under the name is never written through: a link there is replaced
// by the new file, the file it pointed to left as it was; a name that is not a
// regular file (a directory, a pipe), or a file we could not open for writing
// (so that the rename does not get round a read-only file), is not replaced.
class ReplacementFile {
public:
    // The copy is made under `scratch` when that name is free and `naming`
    // allows it, else under a fresh name beside it.
    ReplacementFile(std::filesystem::path target, const std::filesystem::path& scratch,
                    ScratchName naming);
    // The copy is made under a fresh name made from the target's.
    explicit ReplacementFile(std::filesystem::path target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // False once any call has failed; the later calls then fail too.
    bool Write(std::span<const std::uint8_t> bytes);
    // Gives the copy the replaced file's mode and owner, flushes it to disk,
    // renames it over the file and makes the rename durable.
    FileStatus Commit();
    // The first failure, if any.
    const FileStatus& Status() const { return status_; }

private:
    // The scratch file's name, or what it will be named after while it has none.
    std::filesystem::path ScratchPath() const;

    std::filesystem::path target_;
    ScratchFile scratch_;
    FileStatus status_;
    std::uint64_t written_ = 0;
    bool replacesFile_ = false;
    // The replaced file's permissions, in the system's own terms: on POSIX
    // its mode bits, owner and group.
    struct Permissions {
        std::uint32_t mode = 0;
        std::uint32_t owner = 0;
        std::uint32_t group = 0;
    };
    Permissions replaced_;
};
