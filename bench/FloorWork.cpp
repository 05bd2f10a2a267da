#include "FloorWork.h"

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

#include "ReplacementFile.h"

namespace fs = std::filesystem;

std::vector<unsigned char> FileBytes(const fs::path& path) {
    std::vector<unsigned char> bytes(fs::file_size(path));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file || std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        std::exit(1);
    std::fclose(file);
    return bytes;
}

void ReadThrough(const fs::path& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        std::exit(1);
    std::vector<char> chunk(64 * 1024);
    while (read(fd, chunk.data(), chunk.size()) > 0) {
    }
    close(fd);
}

void WriteDurably(const fs::path& path, const std::vector<unsigned char>& bytes) {
    ReplacementFile file(path.c_str());
    if (!file.Write(bytes) || !file.Commit())
        std::exit(1);
}

void WriteWithoutOneRecord(const fs::path& diary) {
    std::vector<unsigned char> bytes = FileBytes(diary);
    constexpr std::size_t kRecordSize = 24;
    if (bytes.size() >= kRecordSize) {
        const auto middle =
            static_cast<std::ptrdiff_t>(bytes.size() / kRecordSize / 2 * kRecordSize);
        bytes.erase(bytes.begin() + middle, bytes.begin() + middle + kRecordSize);
    }
    WriteDurably(diary.parent_path() / "floor-copy.steps", bytes);
}
