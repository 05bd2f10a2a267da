#include "Directory.h"

namespace fs = std::filesystem;

fs::path DirectoryOf(const fs::path& file) {
    fs::path directory = file.parent_path();
    return directory.empty() ? fs::path(".") : directory;
}

fs::path FollowLinks(const fs::path& path) {
    std::error_code error;
    fs::path target = fs::canonical(path, error);
    return error ? path : target;
}
