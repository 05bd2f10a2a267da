#include "FileHandle.h"

#include <cerrno>

// What both systems' files share: closing on the way out, and a read that
// must fill its buffer.

// A close that fails here has no one to tell; a caller that must know
// closes first.
FileHandle::~FileHandle() {
    Close({});
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close({});
        native_ = other.native_;
        other.native_ = kClosed;
    }
    return *this;
}

FileStatus FileHandle::ReadAt(std::span<std::uint8_t> bytes, std::uint64_t offset,
                              const std::filesystem::path& path) const {
    const ByteCount got = ReadUpTo(bytes, offset, path);
    if (got.status && got.bytes < bytes.size())
        return FileStatus::Failure("read (file ended early)", path, EIO);
    return got.status;
}
