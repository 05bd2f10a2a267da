#pragma once

#include <filesystem>
#include <string>
#include <system_error>

// Success, or the first call to the system that failed: which call, on which
// path, and the error code the system gave. Every failure below the commands
// travels as one of these, so that the command can word it once.
class FileStatus {
public:
    FileStatus() = default;
    // The failure of `call` on `path` with that system error code.
    static FileStatus Failure(std::string call, const std::filesystem::path& path, int error);
    static FileStatus Failure(std::string call, const std::filesystem::path& path,
                              std::errc error) {
        return Failure(std::move(call), path, static_cast<int>(error));
    }

    bool IsOk() const { return error_ == 0; }
    explicit operator bool() const { return IsOk(); }
    const std::string& Call() const { return call_; }
    const std::filesystem::path& Path() const { return path_; }
    // An errno value on every system, so that callers word failures once.
    int Error() const { return error_; }
    // "fsync of /home/me/data.tmp: Input/output error"; empty when ok.
    std::string Describe() const;

private:
    std::string call_;
    std::filesystem::path path_;
    int error_ = 0;
};
