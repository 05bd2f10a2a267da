#include "FileStatus.h"

#include <cerrno>
#include <cstring>

FileStatus FileStatus::Failure(std::string call, const std::filesystem::path& path, int error) {
    FileStatus status;
    status.call_ = std::move(call);
    status.path_ = path;
    // A call that failed without saying why still failed.
    status.error_ = error != 0 ? error : EIO;
    return status;
}

std::string FileStatus::Describe() const {
    if (IsOk())
        return {};
    return call_ + " of " + path_.string() + ": " + std::strerror(error_);
}
