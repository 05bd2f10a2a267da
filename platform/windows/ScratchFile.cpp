#include "ScratchFile.h"

#include "Directory.h"
#include "FreshName.h"
#include "Native.h"

namespace fs = std::filesystem;

// Windows makes no file without a name: every scratch file has one from the
// start.
ScratchFile CreateScratchFile(const fs::path& stem, ScratchName naming, ScratchAccess access) {
    return CreateNamedScratchFile(stem, naming, access);
}

// CREATE_NEW fails on any name that is taken, a link or junction included, so
// nothing under the name is ever written through. DELETE access lets the file
// be renamed over its target through this handle. The file gets the access
// its directory passes on; on Windows that already keeps a user's data folder
// to the user, so `access` asks nothing more.
ScratchFile CreateNamedScratchFile(const fs::path& stem, ScratchName naming, ScratchAccess) {
    ScratchFile scratch;
    scratch.stem = stem;
    for (int attempt = 0; attempt <= kFreshNameAttempts; ++attempt) {
        const bool useStem = attempt == 0 && naming == ScratchName::StemFirst;
        if (attempt == 0 && !useStem)
            continue;
        fs::path name = useStem ? stem : fs::path(stem.wstring() + fs::path(FreshSuffix()).wstring());
        scratch.file = NativeFile::Adopt(::CreateFileW(
            name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
            FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (scratch.file.IsOpen()) {
            scratch.name = std::move(name);
            break;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&
            error != ERROR_ACCESS_DENIED) {
            scratch.status = FileStatus::Failure("CreateFileW", name, ErrnoOf(error));
            return scratch;
        }
        // A directory under the name refuses with ERROR_ACCESS_DENIED, as
        // does a file being deleted: both are names someone else holds. A
        // directory we may not write to says so at the next name too.
        if (error == ERROR_ACCESS_DENIED && attempt >= 2) {
            scratch.status = FileStatus::Failure("CreateFileW", name, EACCES);
            return scratch;
        }
    }
    if (!scratch.file.IsOpen()) {
        scratch.status = FileStatus::Failure("CreateFileW", stem, EEXIST);
        return scratch;
    }
    if (std::optional<FileIdentity> identity = scratch.file.Identity())
        scratch.identity = *identity;
    return scratch;
}

void RemoveScratchFile(const ScratchFile& scratch) {
    if (scratch.name.empty())
        return;
    // A name that now names another file is someone else's.
    const HANDLE named = OpenForLooking(scratch.name, /*followLinks=*/false);
    if (named == INVALID_HANDLE_VALUE)
        return;
    const std::optional<FileIdentity> identity = NativeIdentity::Of(named);
    ::CloseHandle(named);
    if (identity && identity->IsSameFile(scratch.identity))
        ::DeleteFileW(scratch.name.c_str());
}

// Scratch files are named from the start on Windows.
FileStatus NameScratchFile(ScratchFile&) {
    return {};
}

// No scratch file here is named to prove it ours, so there is nothing that
// may be removed without asking.
void RemoveLeftScratchFiles(const fs::path&) {}
