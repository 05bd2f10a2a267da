#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A fresh directory that is the current directory for the life of the object;
// the previous current directory comes back and the directory is removed after.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// A fresh, empty directory as XDG_CONFIG_HOME for the life of the object,
// so that the settings a window keeps and reads are the test's own and
// never the user's; removed after.
class ScopedSettingsHome {
public:
    ScopedSettingsHome();
    ~ScopedSettingsHome();
    ScopedSettingsHome(const ScopedSettingsHome&) = delete;
    ScopedSettingsHome& operator=(const ScopedSettingsHome&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    std::optional<std::string> previous_;
};

// Why a test of a zone's rules cannot run on Windows: its C runtime reads
// only a name and an offset from TZ, and Wine's applies no daylight saving.
inline constexpr const char* kNoZoneRules =
    "the Windows C runtime reads no zone names or daylight saving rules from TZ";

// Sets TZ for the life of the object and calls tzset.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz);
    ~ScopedTimeZone();

private:
    std::string previous_;
    bool hadPrevious_;
};

// Sets an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

std::vector<unsigned char> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);

// The names in a directory, sorted.
std::vector<std::string> DirectoryNames(const std::filesystem::path& directory = ".");

// Windows has no limit on the size of a process's files.
#ifndef _WIN32
// Files may grow to `limit` bytes while the object lives; a write beyond fails
// with EFBIG, as on a full disk, even for root (the signal that would end the
// process is ignored meanwhile).
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(unsigned long long limit);
    ~ScopedFileSizeLimit();
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    unsigned long long previousLimit_;
    void (*previousHandler_)(int);
};
#endif
