#include "CStepFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr long kRecordSize = static_cast<long>(kStepRecordSize);

StepRecord EndMarker() {
    StepRecord marker;
    marker.steps = kEndMarker;
    return marker;
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The rename that replaces the data file is only durable once its directory
// entry is on disk too.
bool SyncDirectoryOf(const std::filesystem::path& file) {
    std::filesystem::path dir = file.parent_path();
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// Writes the new contents beside the data file under the scratch name, with
// the data file's permissions, and flushes them to disk. On failure nothing is
// left behind.
bool WriteScratch(const std::filesystem::path& scratch, const std::vector<unsigned char>& bytes,
                  mode_t mode) {
    int fd = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool written = ::fchmod(fd, mode & 07777) == 0 && WriteAll(fd, bytes.data(), bytes.size()) &&
                   ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written)
        ::unlink(scratch.c_str());
    return written;
}

// Offsets of the records a backwards scan visits, newest first, ending before
// a stored end marker.
template <typename Visit> void ScanBackwards(const std::vector<unsigned char>& bytes, Visit visit) {
    for (std::size_t end = bytes.size(); end >= kStepRecordSize; end -= kStepRecordSize) {
        std::size_t offset = end - kStepRecordSize;
        StepRecord record = DecodeStepRecord(&bytes[offset]);
        if (record.steps == kEndMarker || !visit(offset, record))
            return;
    }
}

} // namespace

CStepFile::CStepFile(const DiaryFiles& files) : path_(files.steps), scratch_(files.scratch) {
    Reopen();
}

CStepFile::~CStepFile() {
    if (stream_)
        std::fclose(stream_);
}

bool CStepFile::Reopen() {
    if (stream_)
        std::fclose(stream_);
    // "e": no descriptor of the diary leaks into the browser we start.
    stream_ = std::fopen(path_.c_str(), "a+be");
    writable_ = stream_ != nullptr;
    // A diary the user may not change is still shown; changes to it are
    // refused rather than made by replacing the file.
    if (!stream_ && (errno == EACCES || errno == EROFS || errno == EPERM))
        stream_ = std::fopen(path_.c_str(), "rbe");
    ok_ = stream_ != nullptr;
    return ok_;
}

void CStepFile::ReadLast(StepRecord& out) {
    long length = -1;
    if (stream_ && std::fseek(stream_, 0, SEEK_END) == 0)
        length = std::ftell(stream_);
    if (length < 0) {
        // Not an empty file but an unknown one: an Append must not take
        // identifier 1 from it.
        ok_ = false;
        out.steps = kEndMarker;
        out.identifier = 0;
        return;
    }
    if (length < kRecordSize) {
        out.steps = kEndMarker;
        out.identifier = 0;
        return;
    }
    if (!ReadRecordBefore(length, out))
        out.identifier = 0;
}

void CStepFile::StepBack(StepRecord& out) {
    long position = stream_ ? std::ftell(stream_) : -1;
    if (position < kRecordSize) {
        out = EndMarker();
        return;
    }
    ReadRecordBefore(position, out);
}

bool CStepFile::ReadRecordBefore(long end, StepRecord& out) {
    StepRecordBytes bytes;
    std::fseek(stream_, end - kRecordSize, SEEK_SET);
    const bool read = std::fread(bytes.data(), kStepRecordSize, 1, stream_) == 1;
    if (read) {
        out = DecodeStepRecord(bytes.data());
    } else {
        out.steps = kEndMarker;
        ok_ = false;
    }
    // Read or not, the position is left at the start of that record.
    std::fseek(stream_, end - kRecordSize, SEEK_SET);
    return read;
}

void CStepFile::FindById(std::uint32_t id, StepRecord& out) {
    out.steps = kEndMarker;
    for (StepRecord record : ReadAll()) {
        if (record.identifier == id) {
            out = record;
            return;
        }
    }
}

std::vector<StepRecord> CStepFile::ReadAll() {
    std::vector<StepRecord> records;
    if (!stream_)
        return records;
    // A shared lock keeps a concurrent append from being read half written.
    int fd = fileno(stream_);
    ::flock(fd, LOCK_SH);
    std::vector<unsigned char> bytes = ReadWholeFile().value_or(std::vector<unsigned char>{});
    ::flock(fd, LOCK_UN);
    records.reserve(bytes.size() / kStepRecordSize);
    ScanBackwards(bytes, [&](std::size_t, const StepRecord& record) {
        records.push_back(record);
        return true;
    });
    return records;
}

std::optional<std::vector<unsigned char>> CStepFile::ReadWholeFile() {
    struct stat info;
    if (::fstat(fileno(stream_), &info) != 0 || std::fseek(stream_, 0, SEEK_SET) != 0) {
        ok_ = false;
        return std::nullopt;
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(info.st_size));
    if (std::fread(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
        ok_ = false;
        return std::nullopt;
    }
    return bytes;
}

bool CStepFile::LockForChange() {
    // A delete replaces the file, so a lock won on a descriptor of the old
    // file guards nothing: after locking, make sure the path still names the
    // file we locked, else open the new one and lock again.
    while (stream_) {
        int fd = fileno(stream_);
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ok_ = false;
                return false;
            }
        }
        struct stat locked, named;
        if (::fstat(fd, &locked) == 0 && ::stat(path_.c_str(), &named) == 0 &&
            locked.st_dev == named.st_dev && locked.st_ino == named.st_ino)
            return true;
        Reopen();
    }
    return false;
}

void CStepFile::Unlock() {
    if (stream_)
        ::flock(fileno(stream_), LOCK_UN);
}

void CStepFile::Append(StepRecord& record) {
    if (!stream_)
        return;
    if (record.steps == kEndMarker || !writable_) {
        ok_ = false;
        return;
    }
    if (!LockForChange())
        return;
    StepRecord last;
    ReadLast(last);
    int fd = fileno(stream_);
    struct stat before;
    if (!ok_ || ::fstat(fd, &before) != 0) {
        ok_ = false;
        Unlock();
        return;
    }
    record.identifier = last.identifier + 1;
    record.hour = record.minute = record.second = record.milliseconds = 0;
    StepRecordBytes bytes = EncodeStepRecord(record);
    std::fseek(stream_, 0, SEEK_END);
    bool written = std::fwrite(bytes.data(), kStepRecordSize, 1, stream_) == 1 &&
                   std::fflush(stream_) == 0 && ::fsync(fd) == 0;
    if (!written) {
        // A full disk may have taken part of the record: cut it off again so
        // that the file keeps whole records only.
        std::clearerr(stream_);
        if (::ftruncate(fd, before.st_size) == 0)
            ::fsync(fd);
        ok_ = false;
    }
    Unlock();
}

void CStepFile::DeleteById(std::uint32_t id) {
    DeleteNewest([id](const StepRecord& record) { return record.identifier == id; });
}

bool CStepFile::DeleteIfUnchanged(const StepRecord& listed) {
    // Compared under the lock that the removal holds: a change between the
    // check and the removal is impossible.
    return DeleteNewest([&listed](const StepRecord& record) { return record == listed; });
}

bool CStepFile::DeleteNewest(const std::function<bool(const StepRecord&)>& matches) {
    if (!stream_)
        return false;
    if (!writable_) {
        ok_ = false;
        return false;
    }
    if (!LockForChange())
        return false;
    std::optional<std::vector<unsigned char>> contents = ReadWholeFile();
    if (!contents) {
        Unlock();
        return false;
    }
    std::vector<unsigned char>& bytes = *contents;
    std::size_t match = bytes.size();
    ScanBackwards(bytes, [&](std::size_t offset, const StepRecord& record) {
        if (!matches(record))
            return true;
        match = offset;
        return false;
    });
    struct stat info;
    if (match == bytes.size() || ::fstat(fileno(stream_), &info) != 0) {
        Unlock();
        return false;
    }
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(match),
                bytes.begin() + static_cast<std::ptrdiff_t>(match + kStepRecordSize));

    // The new contents go to a scratch file that then replaces the data file
    // in one rename: at every instant the path holds the old or the new diary.
    if (!WriteScratch(scratch_, bytes, info.st_mode)) {
        ok_ = false;
        Unlock();
        return false;
    }
    if (std::rename(scratch_.c_str(), path_.c_str()) != 0) {
        ::unlink(scratch_.c_str());
        ok_ = false;
        Unlock();
        return false;
    }
    SyncDirectoryOf(path_);
    // Closing the replaced file releases the lock; waiting processes then
    // find the new file under the path.
    Reopen();
    return true;
}
