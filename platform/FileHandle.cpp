#include "FileHandle.h"

#include <cerrno>

// What both systems' files share: a read that must fill its buffer.
FileStatus FileHandle::ReadAt(std::span<std::uint8_t> bytes, std::uint64_t offset,
                              const std::filesystem::path& path) const {
    const ByteCount got = ReadUpTo(bytes, offset, path);
    if (got.status && got.bytes < bytes.size())
        return FileStatus::Failure("read (file ended early)", path, EIO);
    return got.status;
}
