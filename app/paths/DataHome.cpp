#include "DataHome.h"

#include <cstdlib>
#include <cstring>

#include "UserPaths.h"

namespace {

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
    if (const std::filesystem::path appData = LocalAppDataDirectory(); !appData.empty())
        return appData / "Trekline";
    const std::string home = HomeDirectory().string();
    return DataHomeDirectory(std::getenv("XDG_DATA_HOME"), home.c_str());
}

std::optional<std::string> MakeDataHome(const std::filesystem::path& directory) {
    if (directory.empty())
        return "There is no home directory (HOME is not set)";
    // One directory at a time, not std::filesystem::create_directories: the
    // new directories must be private from the moment they exist.
    std::filesystem::path made;
    for (const std::filesystem::path& part : directory) {
        made /= part;
        if (const FileStatus status = MakePrivateDirectory(made); !status)
            return made.string() + " cannot be created (" +
                   std::strerror(status.Error()) + ")";
    }
    std::error_code error;
    const bool isDirectory = std::filesystem::is_directory(directory, error);
    if (error)
        return directory.string() + " cannot be used (" + error.message() + ")";
    if (!isDirectory)
        return directory.string() + " is not a directory";
    return std::nullopt;
}
DiaryDirectory FindDiaryDirectory(bool dataHome) {
    DiaryDirectory found;
    if (dataHome) {
        found.path = DataHomeDirectory();
        found.problem = MakeDataHome(found.path).value_or("");
        return found;
    }
    std::error_code error;
    found.path = std::filesystem::current_path(error);
    if (error)
        found.problem = "The current directory cannot be found (" + error.message() + ")";
    return found;
}
