#include "UserPaths.h"

#include <cerrno>

#include <windows.h>
#include <shlobj.h>

#include "Native.h"

namespace fs = std::filesystem;

namespace {

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR folder = nullptr;
    fs::path path;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &folder)))
        path = folder;
    ::CoTaskMemFree(folder);
    return path;
}

} // namespace

fs::path HomeDirectory() {
    return KnownFolder(FOLDERID_Profile);
}

fs::path LocalAppDataDirectory() {
    return KnownFolder(FOLDERID_LocalAppData);
}

fs::path ProgramFile() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

// A new folder takes the access of the one it is made in; under the user's
// profile that is the user's alone.
FileStatus MakePrivateDirectory(const fs::path& directory) {
    if (!::CreateDirectoryW(directory.c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS)
        return LastFailure("CreateDirectoryW", directory);
    return {};
}

// Windows tells read-only files by their attribute; what an access list
// refuses shows only when the file is opened, and is worded then.
PathAccess AccessOf(const fs::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    return {true, true,
            (attributes & FILE_ATTRIBUTE_READONLY) == 0 || (attributes & FILE_ATTRIBUTE_DIRECTORY)};
}
