#include "DataHome.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kUserOnly = 0700;

bool IsAbsolute(const char* path) {
    return path && path[0] == '/';
}

} // namespace

std::filesystem::path DataHomeDirectory(const char* xdgDataHome, const char* home) {
    if (IsAbsolute(xdgDataHome))
        return std::filesystem::path(xdgDataHome) / "trekline";
    if (IsAbsolute(home))
        return std::filesystem::path(home) / ".local" / "share" / "trekline";
    return {};
}

std::filesystem::path DataHomeDirectory() {
    const char* home = std::getenv("HOME");
    if (!IsAbsolute(home)) {
        // A desktop session always sets HOME; a bare service start may not.
        if (const passwd* user = getpwuid(getuid()))
            home = user->pw_dir;
    }
    return DataHomeDirectory(std::getenv("XDG_DATA_HOME"), home);
}

std::string MakeDataHome(const std::filesystem::path& directory) {
    if (directory.empty())
        return "There is no home directory (HOME is not set)";
    // mkdir, not std::filesystem::create_directories: the new directories
    // must be private from the moment they exist.
    std::filesystem::path made;
    for (const std::filesystem::path& part : directory) {
        made /= part;
        if (mkdir(made.c_str(), kUserOnly) != 0 && errno != EEXIST)
            return made.string() + " cannot be created (" + std::strerror(errno) + ")";
    }
    struct stat status {};
    if (stat(directory.c_str(), &status) != 0)
        return directory.string() + " cannot be used (" + std::strerror(errno) + ")";
    if (!S_ISDIR(status.st_mode))
        return directory.string() + " is not a directory";
    return {};
}

DiaryDirectory FindDiaryDirectory(bool dataHome) {
    DiaryDirectory found;
    if (dataHome) {
        found.path = DataHomeDirectory();
        found.problem = MakeDataHome(found.path);
        return found;
    }
    std::error_code error;
    found.path = std::filesystem::current_path(error);
    if (error)
        found.problem = "The current directory cannot be found (" + error.message() + ")";
    return found;
}
