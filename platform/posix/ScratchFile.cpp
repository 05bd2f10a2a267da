#include "ScratchFile.h"

#include <charconv>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Directory.h"
#include "FreshName.h"
#include "Native.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kProofInfix = ".trekline-";

std::string ProofName(const fs::path& stem, std::uint64_t inode) {
    char digits[32];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), inode, 16).ptr;
    return stem.string() + std::string(kProofInfix) + std::string(digits, end);
}

// The mode asked of open(2), to which the umask applies.
mode_t CreationMode(ScratchAccess access) {
    return access == ScratchAccess::OwnerOnly ? 0600 : 0666;
}

// A file of no name in the stem's directory, or a closed handle where the
// file system cannot make one.
ScratchFile CreateAnonymousScratchFile(const fs::path& stem, ScratchAccess access) {
    ScratchFile scratch;
    scratch.file = NativeFile::Adopt(
        ::open(DirectoryOf(stem).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, CreationMode(access)));
    struct stat info;
    if (!scratch.file.IsOpen() || ::fstat(NativeFile::Descriptor(scratch.file), &info) != 0 ||
        !S_ISREG(info.st_mode)) {
        scratch.file = FileHandle();
        return scratch;
    }
    scratch.stem = stem;
    scratch.identity = NativeIdentity::From(info);
    return scratch;
}

} // namespace

ScratchFile CreateScratchFile(const fs::path& stem, ScratchName naming, ScratchAccess access) {
    if (ScratchFile anonymous = CreateAnonymousScratchFile(stem, access); anonymous.file.IsOpen())
        return anonymous;
    return CreateNamedScratchFile(stem, naming, access);
}

ScratchFile CreateNamedScratchFile(const fs::path& stem, ScratchName naming, ScratchAccess access) {
    ScratchFile scratch;
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0; attempt <= kFreshNameAttempts; ++attempt) {
        const bool useStem = attempt == 0 && naming == ScratchName::StemFirst;
        if (attempt == 0 && !useStem)
            continue;
        fs::path name = useStem ? stem : fs::path(stem.string() + FreshSuffix());
        scratch.file = NativeFile::Adopt(::open(name.c_str(), kFlags, CreationMode(access)));
        if (scratch.file.IsOpen()) {
            scratch.name = std::move(name);
            break;
        }
        if (errno != EEXIST) {
            scratch.status = LastFailure("open", name);
            return scratch;
        }
    }
    if (!scratch.file.IsOpen()) {
        scratch.status = FileStatus::Failure("open", stem, EEXIST);
        return scratch;
    }
    struct stat info;
    scratch.status = ExpectRegularFile(NativeFile::Descriptor(scratch.file), scratch.name, info);
    if (scratch.status && info.st_nlink != 1)
        scratch.status = FileStatus::Failure("open (linked elsewhere)", scratch.name, EEXIST);
    if (scratch.status) {
        scratch.identity = NativeIdentity::From(info);
    } else {
        // O_EXCL made the name ours a moment ago.
        scratch.file = FileHandle();
        ::unlink(scratch.name.c_str());
    }
    return scratch;
}

void RemoveScratchFile(const ScratchFile& scratch) {
    if (scratch.name.empty())
        return;
    // A name that cannot be looked at is still the one we created; one that
    // now names another file is someone else's.
    struct stat named;
    if (::lstat(scratch.name.c_str(), &named) != 0) {
        if (errno != ENOENT)
            ::unlink(scratch.name.c_str());
        return;
    }
    if (NativeIdentity::From(named).IsSameFile(scratch.identity))
        ::unlink(scratch.name.c_str());
}

FileStatus NameScratchFile(ScratchFile& scratch) {
    if (!scratch.name.empty())
        return {};
    const fs::path name = ProofName(scratch.stem, NativeIdentity::Inode(scratch.identity));
    // Linking through /proc needs no privilege, unlike AT_EMPTY_PATH.
    const std::string self =
        "/proc/self/fd/" + std::to_string(NativeFile::Descriptor(scratch.file));
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return LastFailure("link", name);
    scratch.name = name;
    return {};
}

void RemoveLeftScratchFiles(const fs::path& stem) {
    const fs::path directory = DirectoryOf(stem);
    const std::string prefix = stem.filename().string() + std::string(kProofInfix);
    DIR* listing = ::opendir(directory.c_str());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix))
            continue;
        const fs::path path = directory / std::string(name);
        struct stat info;
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
            info.st_uid == ::geteuid() &&
            name == ProofName(stem.filename(), static_cast<std::uint64_t>(info.st_ino)))
            ::unlink(path.c_str());
    }
    ::closedir(listing);
}
