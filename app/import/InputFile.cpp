#include "InputFile.h"

#include <cstring>

#include "ImportError.h"
#include "ProgressMeter.h"

std::string OfferedFileName(const std::filesystem::path& path) {
    return (path.has_filename() ? path.filename() : path.parent_path().filename()).string();
}

InputFile::InputFile(const std::filesystem::path& path) : path_(path) {
    OpenedFile opened = OpenRegularFile(path, OpenMode::ReadOnly);
    // Each system names its own open call; a refused directory or pipe is
    // told alike on all.
    if (opened.status.Call() == kNotRegularFileCall)
        throw ImportError("is not a regular file");
    if (!opened.status)
        throw ImportError(std::string("cannot be opened: ") + std::strerror(opened.status.Error()));
    file_ = std::move(opened.file);
    size_ = opened.length;
}

ByteCount InputFile::ReadAt(char* buffer, std::size_t size, std::uint64_t offset) const {
    return file_.ReadUpTo({reinterpret_cast<std::uint8_t*>(buffer), size}, offset, path_);
}

void InputFile::MeterInto(ProgressMeter& meter, std::uint64_t base) {
    meter_ = &meter;
    base_ = base;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
    const ByteCount got = ReadAt(buffer, size, read_);
    if (!got.status)
        throw ImportError(std::string("could not be read: ") + std::strerror(got.status.Error()));
    read_ += got.bytes;
    if (meter_)
        meter_->Reached(base_ + read_);
    return static_cast<std::size_t>(got.bytes);
}
