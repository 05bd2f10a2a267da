#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "FileIdentity.h"
#include "FileStatus.h"

// How many bytes a read got or a file holds, or why the system could not tell.
struct ByteCount {
    FileStatus status;
    std::uint64_t bytes = 0;
};

// An open file of ours, closed when it goes. The path each call is given
// names the file in the status of a failure; the handle does not keep it,
// because a scratch file is named only once it is complete.
class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept : native_(other.native_) { other.native_ = kClosed; }
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return native_ != kClosed; }
    // Closes now; a failed close may mean lost writes, so it is a failure.
    FileStatus Close(const std::filesystem::path& path);

    // Fills `bytes` from `offset`; a file that ends first is a failure (EIO).
    FileStatus ReadAt(std::span<std::uint8_t> bytes, std::uint64_t offset,
                      const std::filesystem::path& path) const;
    // Reads from `offset` until `bytes` are full or the file ends: fewer
    // bytes than asked for mean its end.
    ByteCount ReadUpTo(std::span<std::uint8_t> bytes, std::uint64_t offset,
                       const std::filesystem::path& path) const;
    // Writes all of `bytes` at `offset`.
    FileStatus WriteAt(std::span<const std::uint8_t> bytes, std::uint64_t offset,
                       const std::filesystem::path& path);
    // Flushes what was written to the disk.
    FileStatus Sync(const std::filesystem::path& path);
    FileStatus Truncate(std::uint64_t length, const std::filesystem::path& path);
    ByteCount Length(const std::filesystem::path& path) const;
    // None when the system cannot tell; no rename can swap the file under it.
    std::optional<FileIdentity> Identity() const;

private:
    friend struct NativeFile;
    static constexpr std::intptr_t kClosed = -1;

    // The system's own handle: a descriptor on POSIX, a HANDLE on Windows.
    std::intptr_t native_ = kClosed;
};

// Whether a file we keep may be opened, and how.
enum class OpenMode {
    ReadOnly,
    // Read and write; created when missing, with its directory entry made
    // durable before returning. A file that may only be read is opened for
    // reading, and `writable` says so.
    ReadWriteCreating,
};

// The call a refusal of anything but a regular file names, on every system.
inline constexpr char kNotRegularFileCall[] = "open (not a regular file)";

struct OpenedFile {
    FileHandle file;
    bool writable = false;
    bool created = false;
    // Its length when it was opened.
    std::uint64_t length = 0;
    FileStatus status;
    // Why a file opened for reading only could not be opened for writing.
    FileStatus notWritable;
};

// Opens a regular file, following links as the user set them up. Anything
// else under the name (a directory, a pipe, a device) is refused without
// blocking.
OpenedFile OpenRegularFile(const std::filesystem::path& path, OpenMode mode);
