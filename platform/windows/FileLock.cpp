#include "FileLock.h"

#include <cwchar>
#include <string>

#include "Directory.h"
#include "Native.h"

namespace fs = std::filesystem;

namespace {

// The mutex of the diary at `path`: named after the full path of the file
// its links lead to, letter case folded as the file system folds it, so that
// every process that changes that diary meets the same one. The name is
// local to the user's session.
std::wstring MutexName(const fs::path& path) {
    const fs::path target = FollowLinks(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(target.c_str(), static_cast<DWORD>(full.size()),
                                                full.data(), nullptr);
        if (length == 0) {
            full = target.wstring();
            break;
        }
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length);
    }
    ::CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    // Mutex names may not hold backslashes and are at most MAX_PATH long: a
    // 64-bit FNV-1a digest of the path stands for it.
    std::uint64_t digest = 0xCBF2'9CE4'8422'2325ull;
    for (const wchar_t c : full) {
        digest ^= static_cast<std::uint16_t>(c);
        digest *= 0x100'0000'01B3ull;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\trekline-diary-%016llx",
                  static_cast<unsigned long long>(digest));
    return name;
}

} // namespace

// A named mutex rather than a byte-range lock on the file: Windows renames
// over a file only when no one holds it open, so the lock must outlast the
// handles. Readers take it too, one at a time; a read is short. A holder that
// died leaves the mutex abandoned, and the next one takes it over: the diary
// under the name is whole at every instant. (A scratch file it left keeps its
// name; the next changer writes beside it.)
FileLock::FileLock(const FileHandle&, Kind, const fs::path& path) : path_(path) {
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, MutexName(path).c_str());
    if (!mutex) {
        status_ = LastFailure("CreateMutexW", path);
        return;
    }
    const DWORD waited = ::WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        status_ = LastFailure("WaitForSingleObject", path);
        ::CloseHandle(mutex);
        return;
    }
    native_ = reinterpret_cast<std::intptr_t>(mutex);
}

FileLock::~FileLock() {
    if (native_ == kUnlocked)
        return;
    ::ReleaseMutex(reinterpret_cast<HANDLE>(native_));
    ::CloseHandle(reinterpret_cast<HANDLE>(native_));
}

// The lock is on the path, and the holder opens the file under it: the path
// names the file it locked as long as it holds it.
bool FileLock::NamesLockedFile() const { return native_ != kUnlocked; }
