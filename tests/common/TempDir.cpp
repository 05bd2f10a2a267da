#include "TempDir.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>

#include <sys/resource.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

ScopedTempDir::ScopedTempDir() : previous_(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "trekline-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw fs::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
    path_ = pattern;
    fs::current_path(path_);
}

ScopedTempDir::~ScopedTempDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    // A test may have made files read-only; make them removable again.
    for (auto& entry : fs::recursive_directory_iterator(path_, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

ScopedSettingsHome::ScopedSettingsHome() {
    std::string pattern = (fs::temp_directory_path() / "trekline-settings-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw fs::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
    path_ = pattern;
    if (const char* previous = std::getenv("XDG_CONFIG_HOME"))
        previous_ = previous;
    setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
}

ScopedSettingsHome::~ScopedSettingsHome() {
    if (previous_)
        setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

ScopedTimeZone::ScopedTimeZone(const char* tz) {
    const char* old = std::getenv("TZ");
    hadPrevious_ = old != nullptr;
    if (old)
        previous_ = old;
    setenv("TZ", tz, 1);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (hadPrevious_)
        setenv("TZ", previous_.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

std::vector<unsigned char> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> DirectoryNames(const fs::path& directory) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

ScopedFileSizeLimit::ScopedFileSizeLimit(unsigned long long limit)
    : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    rlimit current{};
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &current), 0);
    previousLimit_ = current.rlim_cur;
    current.rlim_cur = limit;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &current), 0);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
    rlimit current{};
    getrlimit(RLIMIT_FSIZE, &current);
    current.rlim_cur = previousLimit_;
    setrlimit(RLIMIT_FSIZE, &current);
    std::signal(SIGXFSZ, previousHandler_);
}
