#include "FileIdentity.h"

#include <sys/stat.h>

namespace {

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

FileIdentity IdentityFrom(const struct stat& info) {
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino),
                        static_cast<std::uint64_t>(info.st_size), Nanoseconds(info.st_mtim),
                        Nanoseconds(info.st_ctim)};
}

} // namespace

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& file) {
    struct stat info;
    if (::stat(file.c_str(), &info) != 0)
        return std::nullopt;
    return IdentityFrom(info);
}

std::optional<FileIdentity> IdentityOf(int fd) {
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return std::nullopt;
    return IdentityFrom(info);
}
