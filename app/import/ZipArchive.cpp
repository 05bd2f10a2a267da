#include "ZipArchive.h"

#include <cerrno>

#include <archive.h>
#include <archive_entry.h>

#include "ImportError.h"
#include "InputFile.h"
#include "ProgressMeter.h"

#include <unistd.h>

namespace {
constexpr std::size_t kBlockSize = 64 * 1024;
}

ZipArchive::ZipArchive(InputFile& file, ProgressMeter& meter)
    : archive_(archive_read_new()), file_(file), meter_(meter), block_(kBlockSize) {
    if (!archive_)
        throw ImportError("there is not enough memory to open it");
    archive_read_support_format_zip(archive_);
    archive_read_set_callback_data(archive_, this);
    archive_read_set_read_callback(archive_, &ZipArchive::ReadBlock);
    archive_read_set_seek_callback(archive_, &ZipArchive::Seek);
    if (lseek(file_.Descriptor(), 0, SEEK_SET) != 0 || archive_read_open1(archive_) != ARCHIVE_OK) {
        std::string why = archive_error_string(archive_) ? archive_error_string(archive_) : "";
        archive_read_free(archive_);
        throw ImportError("is not a zip file Trekline can read (" + why + ")");
    }
}

ZipArchive::~ZipArchive() {
    archive_read_free(archive_);
}

ssize_t ZipArchive::ReadBlock(archive* a, void* self, const void** block) {
    auto* zip = static_cast<ZipArchive*>(self);
    ssize_t got;
    do
        got = read(zip->file_.Descriptor(), zip->block_.data(), zip->block_.size());
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        archive_set_error(a, errno, "read failed");
        return -1;
    }
    zip->packedRead_ += static_cast<std::uint64_t>(got);
    *block = zip->block_.data();
    return got;
}

std::int64_t ZipArchive::Seek(archive*, void* self, std::int64_t offset, int whence) {
    auto* zip = static_cast<ZipArchive*>(self);
    return lseek(zip->file_.Descriptor(), offset, whence);
}

void ZipArchive::Fail(const std::string& what) const {
    const char* why = archive_error_string(archive_);
    throw DamagedZip("is a damaged zip file: " + what + (why ? std::string(": ") + why : ""));
}

bool ZipArchive::NextEntry() {
    for (;;) {
        archive_entry* entry = nullptr;
        int status = archive_read_next_header(archive_, &entry);
        if (status == ARCHIVE_EOF)
            return false;
        if (status < ARCHIVE_WARN)
            Fail(entryName_.empty() ? "its first entry" : "after \"" + entryName_ + "\"");
        if (archive_entry_filetype(entry) != AE_IFREG)
            continue;
        const char* name = archive_entry_pathname(entry);
        if (!name)
            name = archive_entry_pathname_utf8(entry);
        entryName_ = name ? name : "";
        entryStart_ = packedRead_;
        inflated_ = 0;
        return true;
    }
}

std::size_t ZipArchive::Read(char* buffer, std::size_t size) {
    la_ssize_t got = archive_read_data(archive_, buffer, size);
    if (got < 0)
        Fail("in \"" + entryName_ + "\"");
    inflated_ += static_cast<std::uint64_t>(got);
    CheckInflation();
    // Progress is where in the file the reader is, which moves from the start
    // to the end with the entries.
    off_t at = lseek(file_.Descriptor(), 0, SEEK_CUR);
    if (at > 0)
        meter_.Reached(static_cast<std::uint64_t>(at));
    return static_cast<std::size_t>(got);
}

void ZipArchive::CheckInflation() const {
    const std::uint64_t packed = packedRead_ - entryStart_;
    if (inflated_ > kMaxEntryBytes ||
        (inflated_ > kInflationGrace && inflated_ / kMaxInflationRatio > packed + kBlockSize))
        throw DamagedZip("unpacks \"" + entryName_ +
                         "\" to far more than its packed size (a zip bomb?); it was not read");
}
