#pragma once

// What the POSIX implementation shares between its files and no one else
// sees: the descriptor inside a FileHandle, the inode inside a FileIdentity,
// and the failure errno describes.

#include <cerrno>
#include <filesystem>
#include <string>

#include <sys/stat.h>

#include "FileHandle.h"
#include "FileIdentity.h"
#include "FileStatus.h"

struct NativeFile {
    static int Descriptor(const FileHandle& file) { return static_cast<int>(file.native_); }
    // Takes over `fd`, which may be -1 from a failed open.
    static FileHandle Adopt(int fd) {
        FileHandle file;
        file.native_ = fd;
        return file;
    }
};

struct NativeIdentity {
    static FileIdentity From(const struct stat& info);
    static std::uint64_t Inode(const FileIdentity& identity) { return identity.file_; }
};

// The failure of `call` on `path` with the errno it left.
inline FileStatus LastFailure(std::string call, const std::filesystem::path& path) {
    return FileStatus::Failure(std::move(call), path, errno);
}

// Opened with O_NONBLOCK so that a pipe never hangs us; once the type is known
// to be a regular file, reads and writes block as usual again.
FileStatus ExpectRegularFile(int fd, const std::filesystem::path& path, struct stat& info);
