#include "DurableFile.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// How many fresh names are tried before giving up: each is taken only if
// someone keeps guessing them.
constexpr int kFreshNameAttempts = 100;

std::string FreshSuffix() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix = ".";
    for (int i = 0; i < 8; ++i)
        suffix += kLetters[pick(generator)];
    return suffix;
}

constexpr std::string_view kProofInfix = ".trekline-";

std::string ProofName(const fs::path& stem, ino_t inode) {
    char digits[32];
    const auto end =
        std::to_chars(std::begin(digits), std::end(digits), static_cast<std::uint64_t>(inode), 16)
            .ptr;
    return stem.string() + std::string(kProofInfix) + std::string(digits, end);
}

// A file of no name in the stem's directory, or a closed descriptor where the
// file system cannot make one.
ScratchFile CreateAnonymousScratchFile(const fs::path& stem, mode_t mode) {
    ScratchFile scratch;
    scratch.fd =
        FileDescriptor(::open(DirectoryOf(stem).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    struct stat info;
    if (!scratch.fd.IsOpen() || ::fstat(scratch.fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        scratch.fd = FileDescriptor();
        return scratch;
    }
    scratch.stem = stem;
    scratch.device = info.st_dev;
    scratch.inode = info.st_ino;
    return scratch;
}

// Opened with O_NONBLOCK so that a pipe never hangs us; once the type is
// known to be a regular file, reads and writes block as usual again.
FileStatus MakeBlocking(int fd, const fs::path& path) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return FileStatus::FromErrno("fcntl", path);
    return {};
}

FileStatus ExpectRegularFile(int fd, const fs::path& path, struct stat& info) {
    if (::fstat(fd, &info) != 0)
        return FileStatus::FromErrno("fstat", path);
    if (!S_ISREG(info.st_mode))
        return FileStatus::Failure("open (not a regular file)", path, EINVAL);
    return MakeBlocking(fd, path);
}

} // namespace

FileStatus FileStatus::Failure(std::string call, const fs::path& path, int error) {
    FileStatus status;
    status.call_ = std::move(call);
    status.path_ = path;
    // A call that failed without saying why still failed.
    status.error_ = error != 0 ? error : EIO;
    return status;
}

FileStatus FileStatus::FromErrno(std::string call, const fs::path& path) {
    return Failure(std::move(call), path, errno);
}

std::string FileStatus::Describe() const {
    if (IsOk())
        return {};
    return call_ + " of " + path_.string() + ": " + std::strerror(error_);
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileStatus FileDescriptor::Close(const fs::path& path) {
    if (fd_ < 0)
        return {};
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close fails; retrying on EINTR
    // could close a descriptor another thread has just been given.
    if (::close(fd) != 0)
        return FileStatus::FromErrno("close", path);
    return {};
}

FileLock::FileLock(int fd, Kind kind, const fs::path& path) {
    const int operation = kind == Kind::Shared ? LOCK_SH : LOCK_EX;
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) {
            status_ = FileStatus::FromErrno("flock", path);
            return;
        }
    }
    fd_ = fd;
}

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::flock(fd_, LOCK_UN);
}

FileStatus WriteAllAt(int fd, std::span<const std::uint8_t> bytes, std::uint64_t offset,
                      const fs::path& path) {
    while (!bytes.empty()) {
        const ssize_t written =
            ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return FileStatus::FromErrno("pwrite", path);
        if (written == 0)
            return FileStatus::Failure("pwrite", path, ENOSPC);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        offset += static_cast<std::uint64_t>(written);
    }
    return {};
}

FileStatus ReadAllAt(int fd, std::span<std::uint8_t> bytes, std::uint64_t offset,
                     const fs::path& path) {
    while (!bytes.empty()) {
        const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return FileStatus::FromErrno("pread", path);
        if (got == 0)
            return FileStatus::Failure("pread (file ended early)", path, EIO);
        bytes = bytes.subspan(static_cast<std::size_t>(got));
        offset += static_cast<std::uint64_t>(got);
    }
    return {};
}

FileStatus SyncFile(int fd, const fs::path& path) {
    if (::fsync(fd) != 0)
        return FileStatus::FromErrno("fsync", path);
    return {};
}

fs::path DirectoryOf(const fs::path& file) {
    fs::path directory = file.parent_path();
    return directory.empty() ? fs::path(".") : directory;
}

FileStatus SyncDirectory(const fs::path& directory) {
    const fs::path name = directory.empty() ? fs::path(".") : directory;
    FileDescriptor fd(::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.IsOpen())
        return FileStatus::FromErrno("open", name);
    if (::fsync(fd.Get()) != 0)
        return FileStatus::FromErrno("fsync", name);
    return fd.Close(name);
}

fs::path FollowLinks(const fs::path& path) {
    std::error_code error;
    fs::path target = fs::canonical(path, error);
    return error ? path : target;
}

OpenedFile OpenRegularFile(const fs::path& path, OpenMode mode) {
    OpenedFile opened;
    constexpr int kCommon = O_NONBLOCK | O_CLOEXEC;
    if (mode == OpenMode::ReadOnly) {
        opened.fd = FileDescriptor(::open(path.c_str(), O_RDONLY | kCommon));
    } else {
        // A name taken between the two tries is tried again a few times; a
        // link that points nowhere is given up on rather than followed.
        for (int attempt = 0; attempt < 3; ++attempt) {
            opened.fd = FileDescriptor(::open(path.c_str(), O_RDWR | kCommon));
            if (opened.fd.IsOpen() || errno != ENOENT)
                break;
            // O_EXCL: a dangling link under the name is not followed to
            // create a file wherever it points.
            opened.fd =
                FileDescriptor(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kCommon, 0666));
            opened.created = opened.fd.IsOpen();
            if (opened.fd.IsOpen() || errno != EEXIST)
                break;
        }
        opened.writable = opened.fd.IsOpen();
        // A diary the user may not change is still shown; changes to it are
        // refused rather than made by replacing the file.
        if (!opened.fd.IsOpen() && (errno == EACCES || errno == EROFS || errno == EPERM))
            opened.fd = FileDescriptor(::open(path.c_str(), O_RDONLY | kCommon));
    }
    if (!opened.fd.IsOpen()) {
        opened.status = FileStatus::FromErrno("open", path);
        return opened;
    }
    struct stat info;
    opened.status = ExpectRegularFile(opened.fd.Get(), path, info);
    // The new name must survive a power cut before anyone is told it is there.
    if (opened.status && opened.created)
        opened.status = SyncDirectory(DirectoryOf(path));
    if (!opened.status)
        opened.fd = FileDescriptor();
    return opened;
}

ScratchFile CreateScratchFile(const fs::path& stem, ScratchName naming, mode_t mode) {
    if (ScratchFile anonymous = CreateAnonymousScratchFile(stem, mode); anonymous.fd.IsOpen())
        return anonymous;
    return CreateNamedScratchFile(stem, naming, mode);
}

ScratchFile CreateNamedScratchFile(const fs::path& stem, ScratchName naming, mode_t mode) {
    ScratchFile scratch;
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0; attempt <= kFreshNameAttempts; ++attempt) {
        const bool useStem = attempt == 0 && naming == ScratchName::StemFirst;
        if (attempt == 0 && !useStem)
            continue;
        fs::path name = useStem ? stem : fs::path(stem.string() + FreshSuffix());
        scratch.fd = FileDescriptor(::open(name.c_str(), kFlags, mode));
        if (scratch.fd.IsOpen()) {
            scratch.name = std::move(name);
            break;
        }
        if (errno != EEXIST) {
            scratch.status = FileStatus::FromErrno("open", name);
            return scratch;
        }
    }
    if (!scratch.fd.IsOpen()) {
        scratch.status = FileStatus::Failure("open", stem, EEXIST);
        return scratch;
    }
    struct stat info;
    scratch.status = ExpectRegularFile(scratch.fd.Get(), scratch.name, info);
    if (scratch.status && info.st_nlink != 1)
        scratch.status = FileStatus::Failure("open (linked elsewhere)", scratch.name, EEXIST);
    if (scratch.status) {
        scratch.device = info.st_dev;
        scratch.inode = info.st_ino;
    } else {
        // O_EXCL made the name ours a moment ago.
        scratch.fd = FileDescriptor();
        ::unlink(scratch.name.c_str());
    }
    return scratch;
}

void RemoveScratchFile(const ScratchFile& scratch) {
    if (scratch.name.empty())
        return;
    // A name that cannot be looked at is still the one we created; one that
    // now names another file is someone else's.
    struct stat named;
    if (::lstat(scratch.name.c_str(), &named) != 0) {
        if (errno != ENOENT)
            ::unlink(scratch.name.c_str());
        return;
    }
    if (named.st_dev == scratch.device && named.st_ino == scratch.inode)
        ::unlink(scratch.name.c_str());
}

FileStatus NameScratchFile(ScratchFile& scratch) {
    if (!scratch.name.empty())
        return {};
    const fs::path name = ProofName(scratch.stem, scratch.inode);
    // Linking through /proc needs no privilege, unlike AT_EMPTY_PATH.
    const std::string self = "/proc/self/fd/" + std::to_string(scratch.fd.Get());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return FileStatus::FromErrno("link", name);
    scratch.name = name;
    return {};
}

void RemoveLeftScratchFiles(const fs::path& stem) {
    const fs::path directory = DirectoryOf(stem);
    const std::string prefix = stem.filename().string() + std::string(kProofInfix);
    DIR* listing = ::opendir(directory.c_str());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix))
            continue;
        const fs::path path = directory / std::string(name);
        struct stat info;
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
            info.st_uid == ::geteuid() && name == ProofName(stem.filename(), info.st_ino))
            ::unlink(path.c_str());
    }
    ::closedir(listing);
}
