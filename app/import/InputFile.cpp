#include "InputFile.h"

#include <cstring>

#include "ImportError.h"
#include "ProgressMeter.h"

namespace {

std::size_t Counted(const ByteCount& got) {
    if (!got.status)
        throw ImportError(std::string("could not be read: ") + std::strerror(got.status.Error()));
    return static_cast<std::size_t>(got.bytes);
}

} // namespace

std::string OfferedFileName(const std::filesystem::path& path) {
    return (path.has_filename() ? path.filename() : path.parent_path().filename()).string();
}

InputFile::InputFile(const std::filesystem::path& path) : path_(path) {
    OpenedFile opened = OpenRegularFile(path, OpenMode::ReadOnly);
    if (opened.status.Call() == "open")
        throw ImportError(std::string("cannot be opened: ") + std::strerror(opened.status.Error()));
    if (!opened.status)
        throw ImportError("is not a regular file");
    file_ = std::move(opened.file);
    size_ = opened.length;
}

ByteCount InputFile::ReadAt(char* buffer, std::size_t size, std::uint64_t offset) const {
    return file_.ReadUpTo({reinterpret_cast<std::uint8_t*>(buffer), size}, offset, path_);
}

std::string InputFile::Head(std::size_t size) const {
    std::string head(size, '\0');
    head.resize(Counted(ReadAt(head.data(), size, 0)));
    return head;
}

void InputFile::MeterInto(ProgressMeter& meter, std::uint64_t base) {
    meter_ = &meter;
    base_ = base;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
    const std::size_t got = Counted(ReadAt(buffer, size, read_));
    read_ += got;
    if (meter_)
        meter_->Reached(base_ + read_);
    return got;
}
