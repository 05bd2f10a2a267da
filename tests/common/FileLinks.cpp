#include "FileLinks.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32

bool MakeSymbolicLink(const fs::path& target, const fs::path& link) {
    // Without this flag only an administrator may make links.
    constexpr DWORD kAllowUnprivileged = 0x2;
    const fs::path native = fs::path(target).make_preferred();
    return ::CreateSymbolicLinkW(link.c_str(), native.c_str(), kAllowUnprivileged) &&
           IsSymbolicLink(link);
}

bool IsSymbolicLink(const fs::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

#else

bool MakeSymbolicLink(const fs::path& target, const fs::path& link) {
    std::error_code error;
    fs::create_symlink(target, link, error);
    return !error;
}

bool IsSymbolicLink(const fs::path& path) {
    return fs::is_symlink(path);
}

#endif

bool SymbolicLinksAreMade() {
    const fs::path probe = "link-probe";
    const bool made = MakeSymbolicLink("nowhere", probe);
    std::error_code ignored;
    fs::remove(probe, ignored);
    return made;
}
