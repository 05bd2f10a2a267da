#include "ZipArchive.h"

#include <cstdio>
#include <limits>

#include <archive.h>
#include <archive_entry.h>

#include "ImportError.h"
#include "InputFile.h"
#include "ProgressMeter.h"

namespace {
constexpr std::size_t kBlockSize = 64 * 1024;
}

// How libarchive reads the zip: from the place it last sought in the file.
struct ZipCallbacks {
    static la_ssize_t Read(archive* a, void* self, const void** block) {
        auto* zip = static_cast<ZipArchive*>(self);
        const ByteCount got = zip->file_.ReadAt(zip->block_.data(), zip->block_.size(), zip->at_);
        if (!got.status) {
            archive_set_error(a, got.status.Error(), "read failed");
            return -1;
        }
        zip->at_ += got.bytes;
        zip->packedRead_ += got.bytes;
        *block = zip->block_.data();
        return static_cast<la_ssize_t>(got.bytes);
    }

    // As lseek would, short of the file's end moving: it is an export no one writes.
    static la_int64_t Seek(archive*, void* self, la_int64_t offset, int whence) {
        auto* zip = static_cast<ZipArchive*>(self);
        const auto from = static_cast<la_int64_t>(whence == SEEK_SET   ? 0
                                                  : whence == SEEK_CUR ? zip->at_
                                                                       : zip->file_.Size());
        if (offset < -from || offset > std::numeric_limits<la_int64_t>::max() - from)
            return -1;
        zip->at_ = static_cast<std::uint64_t>(from + offset);
        return from + offset;
    }
};

ZipArchive::ZipArchive(InputFile& file, ProgressMeter& meter)
    : archive_(archive_read_new()), file_(file), meter_(meter), block_(kBlockSize) {
    if (!archive_)
        throw ImportError("there is not enough memory to open it");
    archive_read_support_format_zip(archive_);
    archive_read_set_callback_data(archive_, this);
    archive_read_set_read_callback(archive_, &ZipCallbacks::Read);
    archive_read_set_seek_callback(archive_, &ZipCallbacks::Seek);
    if (archive_read_open1(archive_) != ARCHIVE_OK) {
        std::string why = archive_error_string(archive_) ? archive_error_string(archive_) : "";
        archive_read_free(archive_);
        throw ImportError("is not a zip file Trekline can read (" + why + ")");
    }
}

ZipArchive::~ZipArchive() {
    archive_read_free(archive_);
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
    meter_.Reached(at_);
    return static_cast<std::size_t>(got);
}

void ZipArchive::CheckInflation() const {
    const std::uint64_t packed = packedRead_ - entryStart_;
    if (inflated_ > kMaxEntryBytes ||
        (inflated_ > kInflationGrace && inflated_ / kMaxInflationRatio > packed + kBlockSize))
        throw DamagedZip("unpacks \"" + entryName_ +
                         "\" to far more than its packed size (a zip bomb?); it was not read");
}
