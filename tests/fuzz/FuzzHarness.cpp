#include "FuzzHarness.h"

#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

const fs::path& FuzzDirectory(const char* prefix) {
    static fs::path directory;
    fs::path base = fs::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0
                        ? fs::path("/dev/shm")
                        : fs::temp_directory_path();
    std::string pattern = (base / (std::string(prefix) + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) {
        std::perror("fuzz directory");
        std::exit(1);
    }
    directory = pattern;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    });
    return directory;
}
