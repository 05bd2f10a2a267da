#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ByteSource.h"
#include "ImportError.h"

struct archive;
class InputFile;
class ProgressMeter;

// The entries of a zip, read as a stream straight out of it (nothing is
// unpacked to disk). An entry that unpacks to far more than an export could,
// or to many times its packed size, is refused as a zip bomb.
class ZipArchive : public ByteSource {
public:
    ZipArchive(InputFile& file, ProgressMeter& meter);
    ~ZipArchive() override;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Moves to the next regular file in the archive; false after the last.
    bool NextEntry();
    const std::string& EntryName() const { return entryName_; }
    // Reads the current entry's unpacked bytes.
    std::size_t Read(char* buffer, std::size_t size) override;

private:
    friend struct ZipCallbacks;
    [[noreturn]] void Fail(const std::string& what) const;
    void CheckInflation() const;

    archive* archive_;
    InputFile& file_;
    ProgressMeter& meter_;
    std::vector<char> block_;
    // Where in the file the reader is: it seeks to the central directory at
    // the end, then back to each entry.
    std::uint64_t at_ = 0;
    // Every packed byte taken from the file, however often the reader seeks:
    // what an entry's unpacked size is measured against.
    std::uint64_t packedRead_ = 0;
    std::string entryName_;
    std::uint64_t entryStart_ = 0;
    std::uint64_t inflated_ = 0;
};

// The zip itself is broken or hostile, whichever entry was being read.
class DamagedZip : public ImportError {
public:
    using ImportError::ImportError;
};

// Caps an entry's unpacked size and its ratio to the packed bytes read for it;
// the ratio counts only past the grace, where a real export could not be.
inline constexpr std::uint64_t kMaxEntryBytes = std::uint64_t{32} << 30;
inline constexpr std::uint64_t kMaxInflationRatio = 100;
inline constexpr std::uint64_t kInflationGrace = std::uint64_t{64} << 20;
