#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include <sys/types.h>

// The one layer through which Trekline touches the files it keeps: owned
// descriptors, locks, durable creation and scratch files. A directory is not
// ours alone, so nothing here follows a link it did not mean to follow, opens
// a name someone else holds for writing, or blocks on a pipe. Every call's
// result is checked, and a failure keeps the call and its errno for the log.

// Success, or the first file call that failed.
class FileStatus {
public:
    FileStatus() = default;
    // The failure of `call` on `path` with that errno.
    static FileStatus Failure(std::string call, const std::filesystem::path& path, int error);
    // The failure of `call` on `path` with the errno it left.
    static FileStatus FromErrno(std::string call, const std::filesystem::path& path);

    bool IsOk() const { return error_ == 0; }
    explicit operator bool() const { return IsOk(); }
    const std::string& Call() const { return call_; }
    const std::filesystem::path& Path() const { return path_; }
    int Error() const { return error_; }
    // "fsync of /home/me/data.tmp: Input/output error"; empty when ok.
    std::string Describe() const;

private:
    std::string call_;
    std::filesystem::path path_;
    int error_ = 0;
};

// A descriptor that is closed when it goes; Close() reports what closing says.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Closes now; a failed close may mean lost writes, so it is a failure.
    FileStatus Close(const std::filesystem::path& path);

private:
    int fd_ = -1;
};

// An flock(2) lock held for the life of the object.
class FileLock {
public:
    enum class Kind { Shared, Exclusive };
    FileLock(int fd, Kind kind, const std::filesystem::path& path);
    ~FileLock();
    FileLock(FileLock&& other) noexcept : fd_(other.fd_), status_(std::move(other.status_)) {
        other.fd_ = -1;
    }
    FileLock& operator=(FileLock&&) = delete;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    const FileStatus& Status() const { return status_; }

private:
    int fd_ = -1;
    FileStatus status_;
};

// Writes all of `bytes` at `offset`.
FileStatus WriteAllAt(int fd, std::span<const std::uint8_t> bytes, std::uint64_t offset,
                      const std::filesystem::path& path);
// Fills `bytes` from `offset`; a file that ends first is a failure (EIO).
FileStatus ReadAllAt(int fd, std::span<std::uint8_t> bytes, std::uint64_t offset,
                     const std::filesystem::path& path);

FileStatus SyncFile(int fd, const std::filesystem::path& path);
// Makes the directory entries in `directory` (an empty path is the current
// directory) durable: created, renamed and removed names.
FileStatus SyncDirectory(const std::filesystem::path& directory);
// The directory that holds `file`, "." for a bare name.
std::filesystem::path DirectoryOf(const std::filesystem::path& file);

// The file a path names once every symbolic link in it is followed; the path
// itself when it names nothing yet.
std::filesystem::path FollowLinks(const std::filesystem::path& path);

// Whether a file we keep may be opened, and how.
enum class OpenMode {
    ReadOnly,
    // Read and write; created when missing, with its directory entry made
    // durable before returning. A file that may only be read is opened for
    // reading, and `writable` says so.
    ReadWriteCreating,
};

struct OpenedFile {
    FileDescriptor fd;
    bool writable = false;
    bool created = false;
    FileStatus status;
};

// Opens a regular file, following links as the user set them up. Anything
// else under the name (a directory, a pipe, a device) is refused without
// blocking.
OpenedFile OpenRegularFile(const std::filesystem::path& path, OpenMode mode);

// A file made fresh for us. Where the file system allows, it has no name
// until it is complete (O_TMPFILE), so a writer killed halfway leaves nothing
// behind; NameScratchFile then links it under a name that proves it ours.
// Elsewhere it is created with O_EXCL, so no link, pipe or file someone else
// keeps under that name is ever opened, and is a regular file with one link.
// `name` is the name it has, empty while it has none.
struct ScratchFile {
    FileDescriptor fd;
    std::filesystem::path name;
    std::filesystem::path stem; // what a name given later is made from
    dev_t device = 0;
    ino_t inode = 0;
    FileStatus status;
};

// How a scratch file that must have a name from the start is named.
enum class ScratchName {
    // `stem` itself when that name is free, else a fresh name.
    StemFirst,
    // Always a fresh name: `stem`, a dot and random letters.
    Fresh,
};

// Creates the scratch file beside `stem`, without a name where the file
// system allows. `mode` is the mode asked of open(2), to which the umask
// applies.
ScratchFile CreateScratchFile(const std::filesystem::path& stem, ScratchName naming, mode_t mode);
// The scratch file with a name from the start, as on a file system that
// cannot make a file of no name (FAT, many network file systems).
ScratchFile CreateNamedScratchFile(const std::filesystem::path& stem, ScratchName naming,
                                   mode_t mode);

// Gives a scratch file without a name the name that proves it ours: the stem,
// ".trekline-" and its inode number. Does nothing to one that has a name.
FileStatus NameScratchFile(ScratchFile& scratch);

// Removes a file we created, unless the name has since come to mean another file.
void RemoveScratchFile(const ScratchFile& scratch);

// Removes the named scratch files of `stem` that a writer killed between
// naming and renaming one left behind. Only names NameScratchFile gives are
// touched, and only when they prove it: a regular file of ours with one link
// and the inode its name says. Called under the lock that every writer of
// the stem's file holds while its scratch file exists.
void RemoveLeftScratchFiles(const std::filesystem::path& stem);
