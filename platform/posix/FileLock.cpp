#include "FileLock.h"

#include <sys/file.h>
#include <sys/stat.h>

#include "Native.h"

namespace fs = std::filesystem;

// On POSIX the lock is an flock(2) on the file itself: a rename may put
// another file under the path meanwhile, which NamesLockedFile then tells.
FileLock::FileLock(const FileHandle& file, Kind kind, const fs::path& path) : path_(path) {
    const int fd = NativeFile::Descriptor(file);
    const int operation = kind == Kind::Shared ? LOCK_SH : LOCK_EX;
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) {
            status_ = LastFailure("flock", path);
            return;
        }
    }
    native_ = fd;
}

FileLock::~FileLock() {
    if (native_ != kUnlocked)
        ::flock(static_cast<int>(native_), LOCK_UN);
}

bool FileLock::NamesLockedFile() const {
    if (native_ == kUnlocked)
        return false;
    struct stat locked, named;
    return ::fstat(static_cast<int>(native_), &locked) == 0 && ::stat(path_.c_str(), &named) == 0 &&
           locked.st_dev == named.st_dev && locked.st_ino == named.st_ino;
}
