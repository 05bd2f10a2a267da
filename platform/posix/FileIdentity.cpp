#include "FileIdentity.h"

#include <sys/stat.h>

#include "Native.h"

namespace {

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

} // namespace

FileIdentity NativeIdentity::From(const struct stat& info) {
    FileIdentity identity;
    identity.volume_ = static_cast<std::uint64_t>(info.st_dev);
    identity.file_ = static_cast<std::uint64_t>(info.st_ino);
    identity.size_ = static_cast<std::uint64_t>(info.st_size);
    identity.modifiedNs_ = Nanoseconds(info.st_mtim);
    identity.changedNs_ = Nanoseconds(info.st_ctim);
    return identity;
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& file) {
    struct stat info;
    if (::stat(file.c_str(), &info) != 0)
        return std::nullopt;
    return NativeIdentity::From(info);
}

std::optional<FileIdentity> FileHandle::Identity() const {
    struct stat info;
    if (::fstat(NativeFile::Descriptor(*this), &info) != 0)
        return std::nullopt;
    return NativeIdentity::From(info);
}
