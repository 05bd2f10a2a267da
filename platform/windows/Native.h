#pragma once

// What the Windows implementation shares between its files and no one else
// sees: the HANDLE inside a FileHandle, the file index inside a FileIdentity,
// and the failure GetLastError describes, told as the errno value that means
// the same, so that a failure is worded once on every system.

#include <filesystem>
#include <string>

#include <windows.h>

#include "FileHandle.h"
#include "FileIdentity.h"
#include "FileStatus.h"

struct NativeFile {
    static HANDLE Handle(const FileHandle& file) {
        return file.IsOpen() ? reinterpret_cast<HANDLE>(file.native_) : INVALID_HANDLE_VALUE;
    }
    // Takes over `handle`, which may be INVALID_HANDLE_VALUE from a failed open.
    static FileHandle Adopt(HANDLE handle) {
        FileHandle file;
        if (handle != INVALID_HANDLE_VALUE)
            file.native_ = reinterpret_cast<std::intptr_t>(handle);
        return file;
    }
};

struct NativeIdentity {
    // None when the system cannot tell.
    static std::optional<FileIdentity> Of(HANDLE handle);
};

// The errno value that says what a Windows error code says.
int ErrnoOf(DWORD error);

// The failure of `call` on `path` with the error GetLastError holds.
inline FileStatus LastFailure(std::string call, const std::filesystem::path& path) {
    return FileStatus::Failure(std::move(call), path, ErrnoOf(::GetLastError()));
}

// Opened for nothing but looking at: no read or write access, every sharing
// mode, directories too, and a link itself rather than what it points to when
// `followLinks` is false.
HANDLE OpenForLooking(const std::filesystem::path& path, bool followLinks);
