#include "UserPaths.h"

#include <cerrno>
#include <cstdlib>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Native.h"

namespace fs = std::filesystem;

fs::path HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return home;
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir && user->pw_dir[0] == '/')
        return user->pw_dir;
    return {};
}

// Programs keep their data under the home directory, by the XDG rules.
fs::path LocalAppDataDirectory() {
    return {};
}

fs::path ProgramFile() {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program;
}

FileStatus MakePrivateDirectory(const fs::path& directory) {
    constexpr mode_t kUserOnly = 0700;
    if (mkdir(directory.c_str(), kUserOnly) != 0 && errno != EEXIST)
        return LastFailure("mkdir", directory);
    return {};
}

PathAccess AccessOf(const fs::path& path) {
    return {access(path.c_str(), F_OK) == 0, access(path.c_str(), R_OK) == 0,
            access(path.c_str(), W_OK) == 0};
}
