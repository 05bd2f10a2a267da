#include "FileLock.h"

#include "Native.h"

namespace fs = std::filesystem;

namespace {

// Windows' locks are mandatory on the bytes they cover, so the lock covers
// one byte far past any data: readers and writers of the records never meet
// it, only other lockers do.
constexpr std::uint64_t kLockedByte = 0x7FFF'FFFF'FFFF'FFFEull;

OVERLAPPED LockedRange() {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(kLockedByte);
    at.OffsetHigh = static_cast<DWORD>(kLockedByte >> 32);
    return at;
}

} // namespace

// The lock is on the file itself, as on POSIX: a rename may put another file
// under the path meanwhile, which NamesLockedFile then tells.
FileLock::FileLock(const FileHandle& file, Kind kind, const fs::path& path) : path_(path) {
    OVERLAPPED at = LockedRange();
    const DWORD flags = kind == Kind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0;
    if (!::LockFileEx(NativeFile::Handle(file), flags, 0, 1, 0, &at)) {
        status_ = LastFailure("LockFileEx", path);
        return;
    }
    native_ = reinterpret_cast<std::intptr_t>(NativeFile::Handle(file));
}

FileLock::~FileLock() {
    if (native_ == kUnlocked)
        return;
    OVERLAPPED at = LockedRange();
    ::UnlockFileEx(reinterpret_cast<HANDLE>(native_), 0, 1, 0, &at);
}

bool FileLock::NamesLockedFile() const {
    if (native_ == kUnlocked)
        return false;
    const std::optional<FileIdentity> locked =
        NativeIdentity::Of(reinterpret_cast<HANDLE>(native_));
    const std::optional<FileIdentity> named = IdentityOf(path_);
    return locked && named && locked->IsSameFile(*named);
}
