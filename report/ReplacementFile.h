#pragma once

#include <cstdint>
#include <span>
#include <string>

// A new version of a file, written beside it under a name of this process's
// own and renamed over it only once complete and on disk, so that the file
// holds either its old or its new contents at every instant. Dropped
// uncommitted, the partial copy is removed.
class ReplacementFile {
public:
    explicit ReplacementFile(const char* fileName);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Fails, as do the later calls, when the copy could not be created.
    bool Write(std::span<const std::uint8_t> bytes);
    // Flushes the copy to disk and renames it over the file.
    bool Commit();

private:
    std::string fileName_;
    std::string temporaryName_;
    int fd_ = -1;
    bool failed_ = false;
};

// Whether an existing file of this name may be replaced: a missing file may,
// one the user could not open for writing may not, so that replacing by rename
// does not get round a read-only file.
bool MayReplace(const char* fileName);
