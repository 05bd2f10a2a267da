#include "ReplacementFile.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

ReplacementFile::ReplacementFile(fs::path target, const fs::path& scratch, ScratchName naming)
    : target_(std::move(target)) {
    struct stat info;
    if (::lstat(target_.c_str(), &info) == 0) {
        if (S_ISREG(info.st_mode)) {
            replacesFile_ = true;
            mode_ = info.st_mode & 07777;
            owner_ = info.st_uid;
            group_ = info.st_gid;
            if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
                status_ = FileStatus::FromErrno("access", target_);
        } else if (!S_ISLNK(info.st_mode)) {
            status_ = FileStatus::Failure("replace (not a regular file)", target_,
                                          S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        }
    } else if (errno != ENOENT) {
        status_ = FileStatus::FromErrno("lstat", target_);
    }
    if (!status_)
        return;
    // Until it has the replaced file's mode, the copy is readable by us alone;
    // a new file gets what the umask gives.
    scratch_ = CreateScratchFile(scratch, naming, replacesFile_ ? 0600 : 0666);
    status_ = scratch_.status;
}

ReplacementFile::ReplacementFile(fs::path target)
    : ReplacementFile(target, target, ScratchName::Fresh) {}

ReplacementFile::~ReplacementFile() {
    // Callers that only learn "it failed" read the reason from errno, which
    // the clean-up must not overwrite.
    const int error = errno;
    if (scratch_.fd.IsOpen() || !status_) {
        scratch_.fd = FileDescriptor();
        RemoveScratchFile(scratch_);
    }
    errno = error;
}

fs::path ReplacementFile::ScratchPath() const {
    return scratch_.name.empty() ? scratch_.stem : scratch_.name;
}

bool ReplacementFile::Write(std::span<const std::uint8_t> bytes) {
    if (status_)
        status_ = WriteAllAt(scratch_.fd.Get(), bytes, written_, ScratchPath());
    written_ += bytes.size();
    if (!status_)
        errno = status_.Error();
    return status_.IsOk();
}

FileStatus ReplacementFile::Commit() {
    if (!status_) {
        errno = status_.Error();
        return status_;
    }
    const int fd = scratch_.fd.Get();
    if (replacesFile_) {
        // The owner first: changing it clears set-user-ID bits the mode then
        // puts back. Only root may give a file away, which is no failure.
        struct stat own;
        if (::fstat(fd, &own) != 0)
            status_ = FileStatus::FromErrno("fstat", ScratchPath());
        else if ((own.st_uid != owner_ || own.st_gid != group_) &&
                 ::fchown(fd, owner_, group_) != 0 && errno != EPERM)
            status_ = FileStatus::FromErrno("fchown", ScratchPath());
        if (status_ && ::fchmod(fd, mode_) != 0)
            status_ = FileStatus::FromErrno("fchmod", ScratchPath());
    }
    if (status_)
        status_ = SyncFile(fd, ScratchPath());
    // Named only now that it is whole: a writer killed before leaves nothing.
    if (status_)
        status_ = NameScratchFile(scratch_);
    if (status_)
        status_ = scratch_.fd.Close(ScratchPath());
    if (status_ && std::rename(scratch_.name.c_str(), target_.c_str()) != 0)
        status_ = FileStatus::FromErrno("rename", ScratchPath());
    if (status_) {
        // Renamed: the scratch name is gone and must not be removed any more.
        scratch_.name.clear();
        status_ = SyncDirectory(DirectoryOf(target_));
    }
    if (!status_)
        errno = status_.Error();
    return status_;
}
