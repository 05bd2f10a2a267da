#include "ReplaceFile.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

bool ReplaceFile(const std::filesystem::path& path, std::span<const unsigned char> bytes) {
    std::string scratch = path.string() + ".XXXXXX";
    int fd = ::mkstemp(scratch.data());
    if (fd < 0)
        return false;
    // mkstemp creates the file private; give it the permissions a newly
    // created file would have.
    mode_t mask = ::umask(0);
    ::umask(mask);
    bool written = ::fchmod(fd, 0666 & ~mask) == 0;
    for (std::size_t done = 0; written && done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        written = n > 0;
        if (written)
            done += static_cast<std::size_t>(n);
    }
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || std::rename(scratch.c_str(), path.c_str()) != 0) {
        ::unlink(scratch.c_str());
        return false;
    }
    return true;
}
