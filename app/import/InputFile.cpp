#include "InputFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ImportError.h"
#include "ProgressMeter.h"

std::string OfferedFileName(const std::filesystem::path& path) {
    return (path.has_filename() ? path.filename() : path.parent_path().filename()).string();
}

InputFile::InputFile(const std::filesystem::path& path) : path_(path) {
    // Non-blocking, so that a FIFO named like an export cannot stall the open.
    fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0)
        throw ImportError(std::string("cannot be opened: ") + std::strerror(errno));
    struct stat st;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd_);
        throw ImportError("is not a regular file");
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

InputFile::~InputFile() {
    close(fd_);
}

void InputFile::MeterInto(ProgressMeter& meter, std::uint64_t base) {
    meter_ = &meter;
    base_ = base;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
    for (;;) {
        ssize_t got = read(fd_, buffer, size);
        if (got >= 0) {
            read_ += static_cast<std::uint64_t>(got);
            if (meter_)
                meter_->Reached(base_ + read_);
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR)
            throw ImportError(std::string("could not be read: ") + std::strerror(errno));
    }
}
