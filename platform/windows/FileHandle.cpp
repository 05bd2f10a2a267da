#include "FileHandle.h"

#include <algorithm>
#include <cerrno>

#include "Native.h"

namespace fs = std::filesystem;

namespace {

// ReadFile and WriteFile take a DWORD; larger spans go in pieces.
constexpr std::size_t kLargestPiece = 1u << 30;

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// Every sharing mode: another window may read, write and, above all, replace
// the diary (a rename over it needs FILE_SHARE_DELETE from every holder).
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE Open(const fs::path& path, DWORD access, DWORD disposition) {
    return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

HANDLE OpenForLooking(const fs::path& path, bool followLinks) {
    return ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS |
                             (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                         nullptr);
}

FileStatus FileHandle::Close(const fs::path& path) {
    if (!IsOpen())
        return {};
    const HANDLE handle = NativeFile::Handle(*this);
    native_ = kClosed;
    if (!::CloseHandle(handle))
        return LastFailure("CloseHandle", path);
    return {};
}

FileStatus FileHandle::WriteAt(std::span<const std::uint8_t> bytes, std::uint64_t offset,
                               const fs::path& path) {
    while (!bytes.empty()) {
        OVERLAPPED at = At(offset);
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(std::min(bytes.size(), kLargestPiece));
        if (!::WriteFile(NativeFile::Handle(*this), bytes.data(), piece, &written, &at))
            return LastFailure("WriteFile", path);
        if (written == 0)
            return FileStatus::Failure("WriteFile", path, ENOSPC);
        bytes = bytes.subspan(written);
        offset += written;
    }
    return {};
}

ByteCount FileHandle::ReadUpTo(std::span<std::uint8_t> bytes, std::uint64_t offset,
                               const fs::path& path) const {
    std::uint64_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED at = At(offset + done);
        DWORD got = 0;
        const auto piece = static_cast<DWORD>(std::min(bytes.size() - done, kLargestPiece));
        if (!::ReadFile(NativeFile::Handle(*this), bytes.data() + done, piece, &got, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            return {LastFailure("ReadFile", path), done};
        }
        if (got == 0)
            break;
        done += got;
    }
    return {{}, done};
}

FileStatus FileHandle::Sync(const fs::path& path) {
    if (!::FlushFileBuffers(NativeFile::Handle(*this)))
        return LastFailure("FlushFileBuffers", path);
    return {};
}

FileStatus FileHandle::Truncate(std::uint64_t length, const fs::path& path) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    if (!::SetFileInformationByHandle(NativeFile::Handle(*this), FileEndOfFileInfo, &end,
                                      sizeof end))
        return LastFailure("SetFileInformationByHandle (end of file)", path);
    return {};
}

ByteCount FileHandle::Length(const fs::path& path) const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(NativeFile::Handle(*this), &size))
        return {LastFailure("GetFileSizeEx", path)};
    return {{}, static_cast<std::uint64_t>(size.QuadPart)};
}

OpenedFile OpenRegularFile(const fs::path& path, OpenMode mode) {
    OpenedFile opened;
    if (mode == OpenMode::ReadOnly) {
        opened.file = NativeFile::Adopt(Open(path, GENERIC_READ, OPEN_EXISTING));
    } else {
        // A name taken between the two tries is tried again a few times; a
        // link that points nowhere is given up on rather than followed.
        for (int attempt = 0; attempt < 3; ++attempt) {
            opened.file =
                NativeFile::Adopt(Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING));
            if (opened.file.IsOpen() || ::GetLastError() != ERROR_FILE_NOT_FOUND)
                break;
            // CREATE_NEW: a dangling link under the name is not followed to
            // create a file wherever it points.
            opened.file = NativeFile::Adopt(Open(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW));
            opened.created = opened.file.IsOpen();
            if (opened.file.IsOpen() || ::GetLastError() != ERROR_FILE_EXISTS)
                break;
        }
        opened.writable = opened.file.IsOpen();
        // A diary the user may not change is still shown; changes to it are
        // refused rather than made by replacing the file.
        if (!opened.file.IsOpen()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) {
                opened.notWritable = FileStatus::Failure("open for writing", path, ErrnoOf(error));
                opened.file = NativeFile::Adopt(Open(path, GENERIC_READ, OPEN_EXISTING));
            }
        }
    }
    if (!opened.file.IsOpen()) {
        opened.status = LastFailure("CreateFileW", path);
        return opened;
    }
    // A device (CON, NUL, a serial port) opens like a file; only a file on a
    // disk is a diary. A directory does not open without backup semantics.
    if (::GetFileType(NativeFile::Handle(opened.file)) != FILE_TYPE_DISK) {
        opened.status = FileStatus::Failure(kNotRegularFileCall, path, EINVAL);
        opened.file = FileHandle();
        return opened;
    }
    // The new name must survive a power cut before anyone is told it is
    // there: NTFS journals it, and flushing the file commits the journal.
    if (opened.created)
        opened.status = opened.file.Sync(path);
    const ByteCount length = opened.file.Length(path);
    if (opened.status)
        opened.status = length.status;
    opened.length = length.bytes;
    if (!opened.status)
        opened.file = FileHandle();
    return opened;
}
