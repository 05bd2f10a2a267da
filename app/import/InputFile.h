#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "ByteSource.h"

class ProgressMeter;

// How a file or folder offered for import is named to the user; a folder
// given as "export/" has its name one step up.
std::string OfferedFileName(const std::filesystem::path& path);

// A regular file opened for reading: never a FIFO or device that could block,
// never written.
class InputFile : public ByteSource {
public:
    explicit InputFile(const std::filesystem::path& path);
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    int Descriptor() const { return fd_; }
    std::uint64_t Size() const { return size_; }
    // Reports every read as progress, counted from base.
    void MeterInto(ProgressMeter& meter, std::uint64_t base);
    std::size_t Read(char* buffer, std::size_t size) override;

private:
    std::filesystem::path path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::uint64_t read_ = 0;
    ProgressMeter* meter_ = nullptr;
    std::uint64_t base_ = 0;
};
