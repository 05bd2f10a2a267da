#include "ReplacementFile.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Directory.h"
#include "Native.h"

namespace fs = std::filesystem;

ReplacementFile::ReplacementFile(fs::path target, const fs::path& scratch, ScratchName naming)
    : target_(std::move(target)) {
    struct stat info;
    if (::lstat(target_.c_str(), &info) == 0) {
        if (S_ISREG(info.st_mode)) {
            replacesFile_ = true;
            replaced_.mode = info.st_mode & 07777;
            replaced_.owner = info.st_uid;
            replaced_.group = info.st_gid;
            if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
                status_ = LastFailure("access", target_);
        } else if (!S_ISLNK(info.st_mode)) {
            status_ = FileStatus::Failure("replace (not a regular file)", target_,
                                          S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        }
    } else if (errno != ENOENT) {
        status_ = LastFailure("lstat", target_);
    }
    if (!status_)
        return;
    // Until it has the replaced file's mode, the copy is readable by us alone;
    // a new file gets what the umask gives.
    scratch_ = CreateScratchFile(
        scratch, naming, replacesFile_ ? ScratchAccess::OwnerOnly : ScratchAccess::AsNewFile);
    status_ = scratch_.status;
}

FileStatus ReplacementFile::Commit() {
    if (!status_)
        return status_;
    const int fd = NativeFile::Descriptor(scratch_.file);
    if (replacesFile_) {
        // The owner first: changing it clears set-user-ID bits the mode then
        // puts back. Only root may give a file away, which is no failure.
        struct stat own;
        if (::fstat(fd, &own) != 0)
            status_ = LastFailure("fstat", ScratchPath());
        else if ((own.st_uid != replaced_.owner || own.st_gid != replaced_.group) &&
                 ::fchown(fd, replaced_.owner, replaced_.group) != 0 && errno != EPERM)
            status_ = LastFailure("fchown", ScratchPath());
        if (status_ && ::fchmod(fd, static_cast<mode_t>(replaced_.mode)) != 0)
            status_ = LastFailure("fchmod", ScratchPath());
    }
    if (status_)
        status_ = scratch_.file.Sync(ScratchPath());
    // Named only now that it is whole: a writer killed before leaves nothing.
    if (status_)
        status_ = NameScratchFile(scratch_);
    if (status_)
        status_ = scratch_.file.Close(ScratchPath());
    if (status_ && std::rename(scratch_.name.c_str(), target_.c_str()) != 0)
        status_ = LastFailure("rename", ScratchPath());
    if (status_) {
        // Renamed: the scratch name is gone and must not be removed any more.
        scratch_.name.clear();
        status_ = SyncDirectory(DirectoryOf(target_));
    }
    return status_;
}
