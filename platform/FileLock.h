#pragma once

#include <cstdint>
#include <filesystem>

#include "FileHandle.h"
#include "FileStatus.h"

// A lock between processes on the changes to the file at a path, held for
// the life of the object. Changes may replace the file, so a lock won while
// the caller's handle still showed the replaced file guards nothing:
// NamesLockedFile tells, and the caller then opens the path again and locks
// anew. Where the lock is kept is the system's business, so that a system on
// which an open file cannot be renamed over may keep it elsewhere.
class FileLock {
public:
    enum class Kind { Shared, Exclusive };
    // Whether the lock is kept apart from the file. Where it is (Windows,
    // whose open files cannot always be renamed over), a holder lets go of
    // its handle before it waits for the lock and opens the file again once
    // it holds it, and lets go again before it replaces the file: no handle
    // of anyone's may stand in the way of the holder's rename.
#ifdef _WIN32
    static constexpr bool kApartFromFile = true;
#else
    static constexpr bool kApartFromFile = false;
#endif
    // Waits for the lock on the changes to `path`, open as `file` (or, where
    // the lock is apart from the file, not open at all).
    FileLock(const FileHandle& file, Kind kind, const std::filesystem::path& path);
    ~FileLock();
    FileLock(FileLock&& other) noexcept
        : native_(other.native_), path_(std::move(other.path_)), status_(std::move(other.status_)) {
        other.native_ = kUnlocked;
    }
    FileLock& operator=(FileLock&&) = delete;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    const FileStatus& Status() const { return status_; }
    // Whether the path names the file the lock was won on; false too when
    // either cannot be looked at.
    bool NamesLockedFile() const;

private:
    static constexpr std::intptr_t kUnlocked = -1;

    // The system's handle the lock was won on, as the FileHandle keeps it.
    std::intptr_t native_ = kUnlocked;
    std::filesystem::path path_;
    FileStatus status_;
};
