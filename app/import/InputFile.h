#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "ByteSource.h"
#include "FileHandle.h"

class ProgressMeter;

// How a file or folder offered for import is named to the user; a folder
// given as "export/" has its name one step up.
std::string OfferedFileName(const std::filesystem::path& path);

// A regular file opened for reading: never a FIFO or device that could block,
// never written. Each read says where it starts, so that the readers of text,
// the zip reader and SQLite each keep their own place in it.
class InputFile : public ByteSource {
public:
    explicit InputFile(const std::filesystem::path& path);

    std::uint64_t Size() const { return size_; }
    // Up to `size` bytes from `offset`, fewer only where the file ends.
    ByteCount ReadAt(char* buffer, std::size_t size, std::uint64_t offset) const;
    // Reports every read as progress, counted from base.
    void MeterInto(ProgressMeter& meter, std::uint64_t base);
    std::size_t Read(char* buffer, std::size_t size) override;

private:
    std::filesystem::path path_;
    FileHandle file_;
    std::uint64_t size_ = 0;
    std::uint64_t read_ = 0;
    ProgressMeter* meter_ = nullptr;
    std::uint64_t base_ = 0;
};
