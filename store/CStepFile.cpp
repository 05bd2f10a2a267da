#include "CStepFile.h"

#include <algorithm>
#include <system_error>

#include "Directory.h"
#include "ReplacementFile.h"
#include "ScratchFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kRecordSize = kStepRecordSize;
// Records read at a time: reading stays in bounded memory whatever the size
// of the file.
constexpr std::uint64_t kRecordsPerRead = 16384;

StepRecord EndMarker() {
    StepRecord marker;
    marker.steps = kEndMarker;
    return marker;
}

} // namespace

CStepFile::CStepFile(const DiaryFiles& files)
    : path_(files.steps), scratch_(files.scratch), mostRecords_(files.mostRecords) {
    Reopen();
}

bool CStepFile::Reopen() {
    OpenedFile opened = OpenRegularFile(path_, OpenMode::ReadWriteCreating);
    fd_ = std::move(opened.file);
    writable_ = opened.writable;
    notWritable_ = opened.notWritable;
    ok_ = opened.status.IsOk();
    if (!ok_)
        failure_ = opened.status;
    return ok_;
}

void CStepFile::RefuseOverflow() {
    wouldOverflow_ = true;
    Fail(FileStatus::Failure("write", path_, std::errc::file_too_large));
}

void CStepFile::Fail(FileStatus failure) {
    ok_ = false;
    if (failure_.IsOk())
        failure_ = std::move(failure);
}

std::optional<RecordSpan> CStepFile::FindSpan() {
    const ByteCount measured = fd_.Length(path_);
    if (!measured.status) {
        Fail(measured.status);
        return std::nullopt;
    }
    if (measured.bytes / kRecordSize > mostRecords_) {
        tooLarge_ = true;
        Fail(FileStatus::Failure("read", path_, std::errc::file_too_large));
        return std::nullopt;
    }
    FileStatus readStatus;
    std::optional<RecordSpan> span =
        FindRecordSpan(measured.bytes, [&](std::span<std::uint8_t> bytes, std::uint64_t offset) {
            readStatus = fd_.ReadAt(bytes, offset, path_);
            return readStatus.IsOk();
        });
    if (!span)
        Fail(readStatus);
    return span;
}

void CStepFile::ReadLast(StepRecord& out) {
    std::optional<RecordSpan> span = fd_.IsOpen() ? FindSpan() : std::nullopt;
    if (!span) {
        // Not an empty file but an unknown one: an Append must not take
        // identifier 1 from it.
        ok_ = false;
        out.steps = kEndMarker;
        out.identifier = 0;
        return;
    }
    if (span->Count() == 0) {
        out.steps = kEndMarker;
        out.identifier = 0;
        return;
    }
    if (!ReadRecordBefore(span->end, out))
        out.identifier = 0;
}

void CStepFile::StepBack(StepRecord& out) {
    if (!fd_.IsOpen() || position_ < kRecordSize) {
        out = EndMarker();
        return;
    }
    ReadRecordBefore(position_, out);
}

bool CStepFile::ReadRecordBefore(std::uint64_t end, StepRecord& out) {
    StepRecordBytes bytes;
    // Read or not, the position is left at the start of that record.
    position_ = end - kRecordSize;
    const FileStatus read = fd_.ReadAt(bytes, position_, path_);
    if (!read) {
        out.steps = kEndMarker;
        Fail(read);
        return false;
    }
    out = DecodeStepRecord(bytes.data());
    return true;
}

template <typename Visit> bool CStepFile::ScanBackwards(const RecordSpan& span, Visit visit) {
    std::vector<std::uint8_t> bytes;
    for (std::uint64_t end = span.end; end > span.begin;) {
        const std::uint64_t records = std::min(kRecordsPerRead, (end - span.begin) / kRecordSize);
        const std::uint64_t start = end - records * kRecordSize;
        bytes.resize(records * kRecordSize);
        if (const FileStatus read = fd_.ReadAt(bytes, start, path_); !read) {
            Fail(read);
            return false;
        }
        for (std::uint64_t i = records; i-- > 0;) {
            const StepRecord record = DecodeStepRecord(&bytes[i * kRecordSize]);
            if (record.steps == kEndMarker || !visit(start + i * kRecordSize, record))
                return true;
        }
        end = start;
    }
    return true;
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

template <typename Start, typename Visitor> bool CStepFile::ScanShared(Start start, Visitor visit) {
    if (!fd_.IsOpen())
        return false;
    // A shared lock keeps a concurrent append from being read half written.
    const FileLock lock = Lock(FileLock::Kind::Shared);
    std::optional<RecordSpan> span = fd_.IsOpen() ? FindSpan() : std::nullopt;
    if (!span)
        return false;
    start(*span);
    return ScanBackwards(*span, [&](std::uint64_t, const StepRecord& record) {
        visit(record);
        return true;
    });
}

std::vector<StepRecord> CStepFile::ReadAll() {
    std::vector<StepRecord> records;
    if (!ScanShared([&](const RecordSpan& span) { records.reserve(span.Count()); },
                    [&](const StepRecord& record) { records.push_back(record); }))
        records.clear();
    return records;
}

bool CStepFile::VisitAll(const std::function<void(std::uint64_t most)>& expect,
                         const std::function<void(const StepRecord&)>& visit) {
    return ScanShared([&](const RecordSpan& span) { expect(span.Count()); }, visit);
}

FileLock CStepFile::Lock(FileLock::Kind kind) {
    if constexpr (!FileLock::kApartFromFile)
        return FileLock(fd_, kind, path_);
    // No handle of ours may wait for the lock: its holder could not replace
    // the file meanwhile.
    fd_.Close(path_);
    FileLock lock(fd_, kind, path_);
    if (lock.Status() && !Reopen())
        ok_ = false;
    return lock;
}

std::optional<FileLock> CStepFile::LockForChange() {
    // A delete replaces the file, so a lock won on a descriptor of the old
    // file guards nothing: after locking, make sure the path still names the
    // file we locked, else open the new one and lock again.
    while (fd_.IsOpen()) {
        FileLock lock = Lock(FileLock::Kind::Exclusive);
        if (!lock.Status()) {
            Fail(lock.Status());
            return std::nullopt;
        }
        if (!fd_.IsOpen())
            return std::nullopt;
        if (lock.NamesLockedFile()) {
            // No other writer is busy now, so a scratch file of ours is one
            // a writer killed midway left behind.
            RemoveLeftScratchFiles(DirectoryOf(FollowLinks(path_)) / scratch_.filename());
            return lock;
        }
        Reopen();
    }
    return std::nullopt;
}

void CStepFile::Append(StepRecord& record) {
    lastChange_.reset();
    wouldOverflow_ = false;
    if (!fd_.IsOpen())
        return;
    if (record.steps == kEndMarker) {
        ok_ = false;
        return;
    }
    if (!writable_) {
        Fail(notWritable_);
        return;
    }
    std::optional<FileLock> lock = LockForChange();
    if (!lock)
        return;
    std::optional<RecordSpan> span = FindSpan();
    StepRecord last;
    if (!span || (span->Count() > 0 && !ReadRecordBefore(span->end, last)))
        return;
    if (span->Count() >= mostRecords_) {
        RefuseOverflow();
        return;
    }
    record.identifier = last.identifier + 1;
    record.hour = record.minute = record.second = record.milliseconds = 0;
    const StepRecordBytes bytes = EncodeStepRecord(record);
    // Taken under the lock, so that nothing comes between them and the write.
    const std::optional<FileIdentity> before = fd_.Identity();
    std::vector<std::uint8_t> tail(keepBytes_ ? span->length - span->end : 0);
    if (const FileStatus read = tail.empty() ? FileStatus() : fd_.ReadAt(tail, span->end, path_);
        !read) {
        Fail(read);
        return;
    }
    // A record torn by a power cut goes first, so that the file holds whole
    // records only once more.
    FileStatus written;
    if (span->HasTornTail())
        written = fd_.Truncate(span->end, path_);
    if (written)
        written = fd_.WriteAt(bytes, span->end, path_);
    if (written)
        written = fd_.Sync(path_);
    if (!written) {
        // A full disk may have taken part of the record: cut it off again.
        if (fd_.Truncate(span->end, path_))
            fd_.Sync(path_);
        Fail(written);
        return;
    }
    const std::optional<FileIdentity> after = fd_.Identity();
    if (before && after) {
        lastChange_ = DiaryChangeSeen{*before, *after, {}, {record}, true, std::nullopt};
        if (keepBytes_)
            lastChange_->bytes = {span->end, std::move(tail), {bytes.begin(), bytes.end()}};
    }
}

bool CStepFile::CopyWith(DiaryEdit& edit, const RecordSpan& span, std::uint32_t newestIdentifier,
                         const std::optional<FileIdentity>& before) {
    // A diary behind a link is replaced where it lies, so that the link
    // stays a link and the diary never forks in two.
    const fs::path target = FollowLinks(path_);
    ReplacementFile copy(target, DirectoryOf(target) / scratch_.filename(), ScratchName::StemFirst);
    if (!copy.Status()) {
        Fail(copy.Status());
        return false;
    }
    // Leading bytes of a file from elsewhere are kept; a torn tail is not.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> pieces;
    std::uint64_t from = 0;
    for (std::uint64_t removed : edit.removed) {
        pieces.emplace_back(from, removed);
        from = removed + kRecordSize;
    }
    pieces.emplace_back(from, span.end);
    std::vector<std::uint8_t> bytes;
    for (auto [begin, to] : pieces) {
        while (begin < to) {
            bytes.resize(std::min(to - begin, kRecordsPerRead * kRecordSize));
            if (const FileStatus read = fd_.ReadAt(bytes, begin, path_); !read) {
                Fail(read);
                return false;
            }
            if (!copy.Write(bytes))
                break;
            begin += bytes.size();
        }
    }
    // The added records are stamped and encoded a chunk at a time into the
    // one buffer, in a single pass: an import may add a million.
    std::uint32_t identifier = newestIdentifier;
    for (std::size_t done = 0; done < edit.added.size();) {
        const std::size_t count = std::min<std::size_t>(edit.added.size() - done, kRecordsPerRead);
        bytes.resize(count * kRecordSize);
        for (std::size_t i = 0; i < count; ++i) {
            StepRecord& record = edit.added[done + i];
            record.identifier = ++identifier;
            record.hour = record.minute = record.second = record.milliseconds = 0;
            EncodeStepRecord(record, &bytes[i * kRecordSize]);
        }
        if (!copy.Write(bytes))
            break;
        done += count;
    }
    // What the change replaces is read from the old file while it is still
    // open, unchanged: no one else writes while we hold its lock.
    replaced_.reset();
    if (keepBytes_ && copy.Status() && (replaced_ = BytesReplacedBy(edit, span)))
        replaced_->before = before;
    return CommitReplacement(copy);
}

bool CStepFile::CommitReplacement(ReplacementFile& copy) {
    // Where an open file cannot be renamed over, ours is let go first; the
    // caller opens the new one after.
    if constexpr (FileLock::kApartFromFile)
        fd_.Close(path_);
    if (const FileStatus committed = copy.Commit(); !committed) {
        if (!fd_.IsOpen())
            Reopen();
        Fail(committed);
        return false;
    }
    return true;
}

std::optional<DiaryEdit> CStepFile::ReplaceUnderLock(const FindDiaryEdit& find) {
    wouldOverflow_ = false;
    if (!fd_.IsOpen())
        return std::nullopt;
    if (!writable_) {
        Fail(notWritable_);
        return std::nullopt;
    }
    std::optional<FileLock> lock = LockForChange();
    if (!lock)
        return std::nullopt;
    std::optional<RecordSpan> span = FindSpan();
    if (!span)
        return std::nullopt;
    StepRecord last;
    if (span->Count() > 0 && !ReadRecordBefore(span->end, last))
        return std::nullopt;
    std::optional<DiaryEdit> edit = find(*span);
    if (!edit || edit->IsEmpty())
        return edit;
    // Only whole records the scan met can go, each once.
    std::erase_if(edit->removed, [&](std::uint64_t offset) {
        return offset < span->begin || offset >= span->end ||
               (offset - span->begin) % kRecordSize != 0;
    });
    std::ranges::sort(edit->removed);
    edit->removed.erase(std::unique(edit->removed.begin(), edit->removed.end()),
                        edit->removed.end());
    if (span->Count() - edit->removed.size() + edit->added.size() > mostRecords_) {
        RefuseOverflow();
        return std::nullopt;
    }
    // The new contents go to a scratch file that then replaces the data file
    // in one rename: at every instant the path holds the old or the new diary.
    // Identifiers go on from the newest record in the file, removed or not,
    // so that no identifier a window still lists comes back for another entry.
    if (!CopyWith(*edit, *span, last.identifier, fd_.Identity()))
        return std::nullopt;
    // Unlocking the replaced file lets waiting processes on, and they then
    // find the new file under the path.
    lock.reset();
    Reopen();
    return edit;
}

std::optional<DiaryEdit> CStepFile::Rewrite(const PlanDiaryEdit& plan) {
    lastChange_.reset();
    std::optional<DiaryEdit> done =
        ReplaceUnderLock([&](const RecordSpan& span) -> std::optional<DiaryEdit> {
            std::vector<PlacedRecord> records;
            records.reserve(span.Count());
            const bool scanned =
                ScanBackwards(span, [&](std::uint64_t offset, const StepRecord& record) {
                    records.push_back({offset, record});
                    return true;
                });
            if (!scanned)
                return std::nullopt;
            return plan(records);
        });
    if (done && !done->IsEmpty())
        TellReplacement();
    return done;
}

void CStepFile::DeleteById(std::uint32_t id) {
    DeleteNewest([id](const StepRecord& record) { return record.identifier == id; });
}

bool CStepFile::DeleteIfUnchanged(const StepRecord& listed) {
    // Compared under the lock that the removal holds: a change between the
    // check and the removal is impossible.
    return DeleteNewest([&listed](const StepRecord& record) { return record == listed; });
}

std::optional<CStepFile::NewestMatch>
CStepFile::FindNewestMatch(const RecordSpan& span,
                           const std::function<bool(const StepRecord&)>& matches) {
    // Newest first and only as far as the match, or one record further when
    // the match is the newest: the records are not all held, nor all read
    // when a recent entry goes.
    NewestMatch found;
    std::optional<StepRecord> newest;
    std::size_t visited = 0;
    const bool scanned = ScanBackwards(span, [&](std::uint64_t offset, const StepRecord& record) {
        const std::size_t index = visited++;
        if (index == 0) {
            // The replacement keeps the bytes before the first record and
            // drops a torn tail: it ends where the newest record began.
            found.sizeAfter = offset;
            newest = record;
        }
        if (found.place) { // the newest record went; this one follows it
            found.newestAfter = record;
            return false;
        }
        if (!matches(record))
            return true;
        found.place = index;
        found.offset = offset;
        if (index > 0)
            found.newestAfter = newest;
        return index == 0;
    });
    return scanned ? std::optional(found) : std::nullopt;
}

bool CStepFile::DeleteNewest(const std::function<bool(const StepRecord&)>& matches) {
    lastChange_.reset();
    std::optional<NewestMatch> found;
    std::optional<FileIdentity> before;
    std::optional<DiaryEdit> done =
        ReplaceUnderLock([&](const RecordSpan& span) -> std::optional<DiaryEdit> {
            found = FindNewestMatch(span, matches);
            if (!found)
                return std::nullopt;
            if (!found->place)
                return DiaryEdit{};
            // Worked out under the lock, on the file about to be replaced.
            before = fd_.Identity();
            return DiaryEdit{{found->offset}, {}};
        });
    if (!done || done->removed.empty())
        return false;
    std::vector<std::uint8_t> last;
    if (found->newestAfter) {
        const StepRecordBytes newest = EncodeStepRecord(*found->newestAfter);
        last.assign(newest.begin(), newest.end());
    }
    if (before)
        if (std::optional<FileIdentity> after = IdentityOfReplacement(found->sizeAfter, last))
            lastChange_ = DiaryChangeSeen{
                *before, *after, {*found->place},
                {},      true,   replaced_ ? std::optional(replaced_->bytes) : std::nullopt};
    return true;
}

bool CStepFile::ReplaceBytesUnderLock(const FindBytes& find) {
    lastChange_.reset();
    replaced_.reset();
    std::optional<DiaryChangeSeen::Bytes> found;
    const std::optional<DiaryEdit> done =
        ReplaceUnderLock([&](const RecordSpan& span) -> std::optional<DiaryEdit> {
            found = find(span);
            if (!found)
                return DiaryEdit{};
            const std::uint64_t size = span.length - found->removed.size() + found->inserted.size();
            if (size / kRecordSize > mostRecords_) {
                RefuseOverflow();
                return std::nullopt;
            }
            Replaced replaced;
            replaced.before = fd_.Identity();
            replaced.size = size;
            if (!CopyReplacing(*found, span, replaced.last))
                return std::nullopt;
            replaced.bytes = std::move(*found);
            replaced_ = std::move(replaced);
            // The copy is in place already: the record copy has nothing to do.
            return DiaryEdit{};
        });
    if (!done || !replaced_)
        return false;
    Reopen();
    TellReplacement();
    return true;
}

bool CStepFile::CopyReplacing(const DiaryChangeSeen::Bytes& bytes, const RecordSpan& span,
                              std::vector<std::uint8_t>& last) {
    const fs::path target = FollowLinks(path_);
    ReplacementFile copy(target, DirectoryOf(target) / scratch_.filename(), ScratchName::StemFirst);
    // The last record's worth of bytes written is kept: they tell the new
    // file from another of its size.
    const auto write = [&](std::span<const std::uint8_t> piece) {
        copy.Write(piece);
        const std::size_t taken = std::min<std::size_t>(piece.size(), kRecordSize);
        last.insert(last.end(), piece.end() - static_cast<std::ptrdiff_t>(taken), piece.end());
        if (last.size() > kRecordSize)
            last.erase(last.begin(), last.end() - static_cast<std::ptrdiff_t>(kRecordSize));
    };
    std::vector<std::uint8_t> piece;
    // The old file's bytes from `begin` to `end`, a bounded piece at a time.
    const auto copyOld = [&](std::uint64_t begin, std::uint64_t end) {
        while (begin < end && copy.Status()) {
            piece.resize(std::min(end - begin, kRecordsPerRead * kRecordSize));
            if (const FileStatus read = fd_.ReadAt(piece, begin, path_); !read) {
                Fail(read);
                return false;
            }
            write(piece);
            begin += piece.size();
        }
        return true;
    };
    if (!copyOld(0, bytes.at))
        return false;
    write(bytes.inserted);
    if (!copyOld(bytes.at + bytes.removed.size(), span.length))
        return false;
    return CommitReplacement(copy);
}

bool CStepFile::EditIfUnchanged(const StepRecord& listed, const StepRecord& edited) {
    return ReplaceBytesUnderLock(
        [&](const RecordSpan& span) -> std::optional<DiaryChangeSeen::Bytes> {
            const std::optional<NewestMatch> found = FindNewestMatch(
                span, [&listed](const StepRecord& record) { return record == listed; });
            if (!found || !found->place)
                return std::nullopt;
            StepRecord changed = edited;
            changed.identifier = listed.identifier;
            const StepRecordBytes before = EncodeStepRecord(listed);
            const StepRecordBytes after = EncodeStepRecord(changed);
            return DiaryChangeSeen::Bytes{
                found->offset, {before.begin(), before.end()}, {after.begin(), after.end()}};
        });
}

bool CStepFile::PutBackIfUnchanged(const FileIdentity& expected,
                                   const DiaryChangeSeen::Bytes& bytes) {
    return ReplaceBytesUnderLock(
        [&](const RecordSpan& span) -> std::optional<DiaryChangeSeen::Bytes> {
            const std::optional<FileIdentity> now = fd_.Identity();
            std::vector<std::uint8_t> there(bytes.inserted.size());
            if (!now || *now != expected || bytes.at + there.size() > span.length ||
                !fd_.ReadAt(there, bytes.at, path_) || there != bytes.inserted)
                return std::nullopt;
            return DiaryChangeSeen::Bytes{bytes.at, bytes.inserted, bytes.removed};
        });
}

std::optional<FileIdentity> CStepFile::IdentityOfReplacement(std::uint64_t size,
                                                             std::span<const std::uint8_t> last) {
    // The new file is unlocked from its rename on, so another process may
    // have appended to it or replaced it already. Any one change a diary
    // writer makes leaves another length or another newest record (appended
    // records take identifiers past the newest one), so a file of the length
    // and last bytes the replacement left holds what it left. Only several
    // changes within this moment, removing the newest record and writing one
    // equal to it in every field, could come back to both with other
    // contents.
    if (!fd_.IsOpen())
        return std::nullopt;
    const FileLock lock = Lock(FileLock::Kind::Shared);
    if (!lock.Status() || !fd_.IsOpen())
        return std::nullopt;
    std::optional<FileIdentity> identity = fd_.Identity();
    if (!identity || identity->Size() != size || last.size() > size)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(last.size());
    if (!fd_.ReadAt(bytes, size - last.size(), path_) || !std::ranges::equal(bytes, last))
        return std::nullopt;
    return identity;
}

void CStepFile::TellReplacement() {
    if (!replaced_ || !replaced_->before)
        return;
    if (std::optional<FileIdentity> after = IdentityOfReplacement(replaced_->size, replaced_->last))
        lastChange_ = DiaryChangeSeen{*replaced_->before, *after, {}, {}, false, replaced_->bytes};
}

std::optional<CStepFile::Replaced> CStepFile::BytesReplacedBy(const DiaryEdit& edit,
                                                              const RecordSpan& span) {
    // What follows the first removed record, or the records' end, is read
    // once: the old file's bytes from there, and the new file's made of them.
    const std::uint64_t at = edit.removed.empty() ? span.end : edit.removed.front();
    std::vector<std::uint8_t> old(span.length - at);
    if (!fd_.ReadAt(old, at, path_))
        return std::nullopt;
    std::vector<std::uint8_t> now;
    now.reserve(old.size() + edit.added.size() * kRecordSize);
    std::uint64_t from = at;
    for (std::uint64_t removed : edit.removed) {
        now.insert(now.end(), old.begin() + static_cast<std::ptrdiff_t>(from - at),
                   old.begin() + static_cast<std::ptrdiff_t>(removed - at));
        from = removed + kRecordSize;
    }
    now.insert(now.end(), old.begin() + static_cast<std::ptrdiff_t>(from - at),
               old.begin() + static_cast<std::ptrdiff_t>(span.end - at));
    for (const StepRecord& record : edit.added) {
        const StepRecordBytes bytes = EncodeStepRecord(record);
        now.insert(now.end(), bytes.begin(), bytes.end());
    }
    Replaced replaced;
    replaced.size = at + now.size();
    replaced.last.assign(
        now.end() - static_cast<std::ptrdiff_t>(std::min<std::size_t>(now.size(), kRecordSize)),
        now.end());
    // Only what differs is kept: a removed record's followers, alike in both,
    // are not.
    std::size_t alike = 0;
    while (alike < old.size() && alike < now.size() &&
           old[old.size() - 1 - alike] == now[now.size() - 1 - alike])
        ++alike;
    old.resize(old.size() - alike);
    now.resize(now.size() - alike);
    replaced.bytes = {at, std::move(old), std::move(now)};
    return replaced;
}
