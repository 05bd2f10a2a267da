#include "ReplacementFile.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

ReplacementFile::ReplacementFile(const char* fileName)
    : fileName_(fileName), temporaryName_(fileName_ + "." + std::to_string(getpid()) + ".tmp") {
    // The name is this process's own, so a file already there is a leftover
    // of an earlier run with the same process id and may be overwritten; a
    // link there is not followed.
    fd_ = open(temporaryName_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
}

ReplacementFile::~ReplacementFile() {
    if (fd_ >= 0) {
        close(fd_);
        unlink(temporaryName_.c_str());
    }
}

bool ReplacementFile::Write(std::span<const std::uint8_t> bytes) {
    while (fd_ >= 0 && !failed_ && !bytes.empty()) {
        const ssize_t written = write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            failed_ = true;
            break;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return fd_ >= 0 && !failed_;
}

bool ReplacementFile::Commit() {
    if (fd_ < 0 || failed_) {
        return false;
    }
    const bool synced = fsync(fd_) == 0;
    const bool closed = close(fd_) == 0;
    if (!synced || !closed || std::rename(temporaryName_.c_str(), fileName_.c_str()) != 0) {
        unlink(temporaryName_.c_str());
        fd_ = -1;
        return false;
    }
    fd_ = -1;
    return true;
}

bool MayReplace(const char* fileName) {
    // Non-blocking, so that a pipe of that name does not hang the caller.
    const int fd = open(fileName, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        close(fd);
        return true;
    }
    return errno == ENOENT;
}
