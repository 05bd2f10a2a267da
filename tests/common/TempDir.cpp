#include "TempDir.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// A directory no other test holds, under the system's temporary directory.
fs::path MakeFreshDirectory(const char* prefix) {
#ifdef _WIN32
    // The C runtime has no mkdtemp; a name that is taken is simply not made.
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path path =
            fs::temp_directory_path() / (prefix + std::to_string(random() % 1000000000));
        if (fs::create_directory(path))
            return path;
    }
    throw fs::filesystem_error("create_directory", std::make_error_code(std::errc::file_exists));
#else
    std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw fs::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
    return pattern;
#endif
}

#ifdef _WIN32
// The C runtime's environment, which getenv and _tzset read.
void SetVariable(const char* name, const char* value) {
    _putenv_s(name, value);
}
void UnsetVariable(const char* name) {
    _putenv_s(name, "");
}
void ReadTimeZone() {
    _tzset();
}
#else
void SetVariable(const char* name, const char* value) {
    setenv(name, value, 1);
}
void UnsetVariable(const char* name) {
    unsetenv(name);
}
void ReadTimeZone() {
    tzset();
}
#endif

} // namespace

ScopedTempDir::ScopedTempDir() : previous_(fs::current_path()) {
    path_ = MakeFreshDirectory("trekline-test-");
    fs::current_path(path_);
}

ScopedTempDir::~ScopedTempDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    // A test may have made files read-only; make them removable again.
    // Stepped with an error code: a destructor must not throw, and on Windows
    // a path past MAX_PATH stops the walk.
    for (fs::recursive_directory_iterator entry(path_, ignored), end; !ignored && entry != end;
         entry.increment(ignored))
        fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

ScopedSettingsHome::ScopedSettingsHome() {
    path_ = MakeFreshDirectory("trekline-settings-");
    if (const char* previous = std::getenv("XDG_CONFIG_HOME"))
        previous_ = previous;
    SetVariable("XDG_CONFIG_HOME", path_.string().c_str());
}

ScopedSettingsHome::~ScopedSettingsHome() {
    if (previous_)
        SetVariable("XDG_CONFIG_HOME", previous_->c_str());
    else
        UnsetVariable("XDG_CONFIG_HOME");
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

ScopedTimeZone::ScopedTimeZone(const char* tz) {
    const char* old = std::getenv("TZ");
    hadPrevious_ = old != nullptr;
    if (old)
        previous_ = old;
    SetVariable("TZ", tz);
    ReadTimeZone();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (hadPrevious_)
        SetVariable("TZ", previous_.c_str());
    else
        UnsetVariable("TZ");
    ReadTimeZone();
}

ScopedVariable::ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* previous = std::getenv(name))
        previous_ = previous;
    SetVariable(name, value.c_str());
}

ScopedVariable::~ScopedVariable() {
    if (previous_)
        SetVariable(name_.c_str(), previous_->c_str());
    else
        UnsetVariable(name_.c_str());
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

#ifndef _WIN32
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
#endif
