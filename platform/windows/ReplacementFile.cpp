#include "ReplacementFile.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "Native.h"

namespace fs = std::filesystem;

namespace {

// FILE_RENAME_INFO as FileRenameInfoEx reads it: flags where the older
// structure has its one BOOLEAN.
struct RenameInfoEx {
    DWORD flags;
    HANDLE rootDirectory;
    DWORD fileNameLength;
    WCHAR fileName[1];
};
constexpr DWORD kReplaceIfExists = 0x1;
// The name is freed at once although others hold the replaced file open,
// as a POSIX rename does; without it a window that holds the diary open
// would stop every other window from replacing it.
constexpr DWORD kPosixSemantics = 0x2;
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr int kRenameAttempts = 100;
constexpr DWORD kRenameWaitMs = 20;

// Renames the open file over `target` in one step.
bool RenameOver(HANDLE file, const fs::path& target) {
    const std::wstring name = target.wstring();
    std::vector<std::uint8_t> buffer(sizeof(RenameInfoEx) + name.size() * sizeof(WCHAR));
    auto* info = reinterpret_cast<RenameInfoEx*>(buffer.data());
    info->flags = kReplaceIfExists | kPosixSemantics;
    info->rootDirectory = nullptr;
    info->fileNameLength = static_cast<DWORD>(name.size() * sizeof(WCHAR));
    std::memcpy(info->fileName, name.c_str(), name.size() * sizeof(WCHAR));
    return ::SetFileInformationByHandle(file, kFileRenameInfoEx, info,
                                        static_cast<DWORD>(buffer.size()));
}

} // namespace

ReplacementFile::ReplacementFile(fs::path target, const fs::path& scratch, ScratchName naming)
    : target_(std::move(target)) {
    const DWORD attributes = ::GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // A link or junction is replaced by the new file, what it pointed to
        // left as it was.
        const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if (!link && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            status_ = FileStatus::Failure("replace (not a regular file)", target_, EISDIR);
        else if (!link && (attributes & FILE_ATTRIBUTE_READONLY))
            status_ = FileStatus::Failure("replace (read-only file)", target_, EACCES);
        replacesFile_ = !link && status_;
    } else if (const DWORD error = ::GetLastError();
               error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        status_ = FileStatus::Failure("GetFileAttributesW", target_, ErrnoOf(error));
    }
    if (!status_)
        return;
    scratch_ = CreateScratchFile(scratch, naming, ScratchAccess::AsNewFile);
    status_ = scratch_.status;
}

// The copy keeps the access its directory gives; a Windows file's access is
// its folder's unless someone set it apart, which the diary's never needs.
FileStatus ReplacementFile::Commit() {
    if (!status_)
        return status_;
    status_ = scratch_.file.Sync(ScratchPath());
    if (!status_)
        return status_;
    if (RenameOver(NativeFile::Handle(scratch_.file), target_)) {
        // The rename is a change of the file's own record: flushing the file
        // makes it durable.
        status_ = scratch_.file.Sync(target_);
        if (status_)
            status_ = scratch_.file.Close(target_);
    } else {
        // Systems before Windows 10 1709 (Wine too, and some file systems)
        // cannot rename an open file so; the classic call then does, once no
        // one holds the target open. The diary's writers let go of it before
        // they replace it and readers hold it for moments: a reader, or a
        // virus scanner, met here is waited for, up to two seconds.
        status_ = scratch_.file.Close(ScratchPath());
        for (int attempt = 0; status_; ++attempt) {
            if (::MoveFileExW(scratch_.name.c_str(), target_.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                break;
            const DWORD error = ::GetLastError();
            if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
                attempt == kRenameAttempts) {
                status_ = FileStatus::Failure("MoveFileExW", ScratchPath(), ErrnoOf(error));
                break;
            }
            ::Sleep(kRenameWaitMs);
        }
    }
    // Renamed: the scratch name is gone and must not be removed any more.
    if (status_)
        scratch_.name.clear();
    return status_;
}
