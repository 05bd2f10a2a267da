#include "FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Directory.h"
#include "Native.h"

namespace fs = std::filesystem;

FileStatus ExpectRegularFile(int fd, const fs::path& path, struct stat& info) {
    if (::fstat(fd, &info) != 0)
        return LastFailure("fstat", path);
    if (!S_ISREG(info.st_mode))
        return FileStatus::Failure(kNotRegularFileCall, path, EINVAL);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return LastFailure("fcntl", path);
    return {};
}

FileStatus FileHandle::Close(const fs::path& path) {
    if (!IsOpen())
        return {};
    const int fd = static_cast<int>(native_);
    native_ = kClosed;
    // Linux releases the descriptor even when close fails; retrying on EINTR
    // could close a descriptor another thread has just been given.
    if (::close(fd) != 0)
        return LastFailure("close", path);
    return {};
}

FileStatus FileHandle::WriteAt(std::span<const std::uint8_t> bytes, std::uint64_t offset,
                               const fs::path& path) {
    const int fd = static_cast<int>(native_);
    while (!bytes.empty()) {
        const ssize_t written =
            ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return LastFailure("pwrite", path);
        if (written == 0)
            return FileStatus::Failure("pwrite", path, ENOSPC);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        offset += static_cast<std::uint64_t>(written);
    }
    return {};
}

ByteCount FileHandle::ReadUpTo(std::span<std::uint8_t> bytes, std::uint64_t offset,
                               const fs::path& path) const {
    std::uint64_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(static_cast<int>(native_), bytes.data() + done,
                                    bytes.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {LastFailure("pread", path), done};
        if (got == 0)
            break;
        done += static_cast<std::uint64_t>(got);
    }
    return {{}, done};
}

FileStatus FileHandle::Sync(const fs::path& path) {
    if (::fsync(static_cast<int>(native_)) != 0)
        return LastFailure("fsync", path);
    return {};
}

FileStatus FileHandle::Truncate(std::uint64_t length, const fs::path& path) {
    if (::ftruncate(static_cast<int>(native_), static_cast<off_t>(length)) != 0)
        return LastFailure("ftruncate", path);
    return {};
}

ByteCount FileHandle::Length(const fs::path& path) const {
    struct stat info;
    if (::fstat(static_cast<int>(native_), &info) != 0)
        return {LastFailure("fstat", path)};
    return {{}, static_cast<std::uint64_t>(info.st_size)};
}

OpenedFile OpenRegularFile(const fs::path& path, OpenMode mode) {
    OpenedFile opened;
    // O_NOCTTY: a terminal under the name never becomes ours before it is refused.
    constexpr int kCommon = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if (mode == OpenMode::ReadOnly) {
        opened.file = NativeFile::Adopt(::open(path.c_str(), O_RDONLY | kCommon));
    } else {
        // A name taken between the two tries is tried again a few times; a
        // link that points nowhere is given up on rather than followed.
        for (int attempt = 0; attempt < 3; ++attempt) {
            opened.file = NativeFile::Adopt(::open(path.c_str(), O_RDWR | kCommon));
            if (opened.file.IsOpen() || errno != ENOENT)
                break;
            // O_EXCL: a dangling link under the name is not followed to
            // create a file wherever it points.
            opened.file =
                NativeFile::Adopt(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kCommon, 0666));
            opened.created = opened.file.IsOpen();
            if (opened.file.IsOpen() || errno != EEXIST)
                break;
        }
        opened.writable = opened.file.IsOpen();
        // A diary the user may not change is still shown; changes to it are
        // refused rather than made by replacing the file.
        if (!opened.file.IsOpen() && (errno == EACCES || errno == EROFS || errno == EPERM)) {
            opened.notWritable = LastFailure("open for writing", path);
            opened.file = NativeFile::Adopt(::open(path.c_str(), O_RDONLY | kCommon));
        }
    }
    if (!opened.file.IsOpen()) {
        opened.status = LastFailure("open", path);
        return opened;
    }
    struct stat info;
    opened.status = ExpectRegularFile(NativeFile::Descriptor(opened.file), path, info);
    opened.length = static_cast<std::uint64_t>(info.st_size);
    // The new name must survive a power cut before anyone is told it is there.
    if (opened.status && opened.created)
        opened.status = SyncDirectory(DirectoryOf(path));
    if (!opened.status)
        opened.file = FileHandle();
    return opened;
}
