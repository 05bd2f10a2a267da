#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "DiaryChangeSeen.h"
#include "DiaryFiles.h"
#include "FileHandle.h"
#include "FileLock.h"
#include "FileStatus.h"
#include "RecordSpan.h"
#include "ReplacementFile.h"
#include "StepRecord.h"

// A record as a backwards scan meets it, with where it lies in the file.
struct PlacedRecord {
    std::uint64_t offset = 0;
    StepRecord record;
};

// What one replacement of the diary does: the records it removes, by their
// offsets, and the records it adds after all the others, in order.
struct DiaryEdit {
    std::vector<std::uint64_t> removed;
    std::vector<StepRecord> added;

    bool IsEmpty() const { return removed.empty() && added.empty(); }
};

// Works out an edit from the records as they are, newest first.
using PlanDiaryEdit = std::function<DiaryEdit(const std::vector<PlacedRecord>& newestFirst)>;

// The accessor for one step data file. Each command makes one, works and lets
// it go; constructing opens the file (creating it when missing, durably),
// destroying closes it. Failures never throw: they clear the ok flag, and
// operations that obtain no record return the end marker in its steps field.
//
// Records are read from the end backwards; after a record has been read the
// position is at that record's first byte. Bytes before the first whole record
// (a length that is not a multiple of 24) are never read as a record, and a
// last record torn by a power cut is told apart from them (see RecordSpan.h):
// it is never read either, and the next change cuts it off.
//
// Changes are durable when a call returns, and safe against other processes
// changing the same file: appends and deletes are serialised by a lock. A
// diary that is a symbolic link is changed where the link points.
class CStepFile {
public:
    explicit CStepFile(const DiaryFiles& files);
    CStepFile(const CStepFile&) = delete;
    CStepFile& operator=(const CStepFile&) = delete;

    bool IsOk() const { return ok_; }
    // The file call that failed, when one did.
    const FileStatus& Failure() const { return failure_; }
    // Whether the file holds more than the diary's most records and so was
    // neither read nor changed.
    bool IsTooLarge() const { return tooLarge_; }
    // Whether the last Append or Rewrite was refused, the file untouched,
    // because the diary would have held more than its most records.
    bool WouldOverflow() const { return wouldOverflow_; }

    // The newest record, or the end marker with identifier 0 when the file
    // holds none; the position is then at that record's start.
    void ReadLast(StepRecord& out);
    // The record before the current position, or the end marker.
    void StepBack(StepRecord& out);

    // Stores the record after the newest one with the next identifier and the
    // time of day zeroed, both written back into the caller's record. Refuses
    // a steps value equal to the end marker, and a record that would pass the
    // diary's most records. Does nothing when not open.
    void Append(StepRecord& record);

    // The newest record with that identifier; when none, only out.steps is
    // set (to the end marker).
    void FindById(std::uint32_t id, StepRecord& out);

    // Removes the newest record with that identifier by replacing the file
    // atomically; when none matches the file is not touched. Does nothing
    // when not open.
    //
    // A file that may be read but not written is opened for reading; Append
    // and DeleteById on it clear the ok flag and change nothing.
    void DeleteById(std::uint32_t id);

    // Removes the newest record equal to `listed` in every field, as DeleteById
    // removes, and only that: a record that has changed since it was read, or
    // another record that has taken over its identifier, is left alone. True
    // when a record was removed.
    bool DeleteIfUnchanged(const StepRecord& listed);

    // Reads the records and replaces the file by what `plan` makes of them,
    // atomically and under the lock, so that no other change comes between
    // the reading and the replacing. Added records get the identifiers after
    // the newest record's and no time of day, written back into the plan's
    // edit. An empty edit leaves the file untouched, and so does one that
    // would leave more than the diary's most records. Gives the edit carried
    // out; none when the file could not be read or replaced (then it is as it
    // was) or the plan threw (the exception goes on to the caller).
    std::optional<DiaryEdit> Rewrite(const PlanDiaryEdit& plan);

    // Gives the newest record equal to `listed` in every field the contents
    // of `edited` but for its identifier, in its place: no other byte of the
    // file changes, and the file is replaced as Rewrite replaces it. A record
    // that has changed since it was listed is left alone. True when it was
    // changed.
    bool EditIfUnchanged(const StepRecord& listed, const StepRecord& edited);

    // Puts `bytes.removed` back in place of `bytes.inserted` at `bytes.at`,
    // replacing the file as Rewrite does, when the file is still `expected`
    // and holds those bytes there: what undoing a change of this window is.
    // True when it was done; a file changed since is left alone.
    bool PutBackIfUnchanged(const FileIdentity& expected, const DiaryChangeSeen::Bytes& bytes);

    // Makes LastChange() tell the bytes each later change replaced, so that
    // the change can be undone.
    void KeepChangedBytes() { keepBytes_ = true; }

    // Every record a backwards scan visits, newest first, from one read of
    // the file: what ReadLast and StepBack would return up to the end marker.
    std::vector<StepRecord> ReadAll();
    // The same records handed to `visit` one at a time, for a caller that
    // keeps less of each, after `expect` has been told how many may come at
    // most; false when the file could not be read (some may have been
    // visited).
    bool VisitAll(const std::function<void(std::uint64_t most)>& expect,
                  const std::function<void(const StepRecord&)>& visit);

    // What the last change did to the file; none when it changed nothing, or
    // when what the file became cannot be told for certain (another process
    // changed it again at once).
    const std::optional<DiaryChangeSeen>& LastChange() const { return lastChange_; }

private:
    bool Reopen();
    void Fail(FileStatus failure);
    void RefuseOverflow();
    // Where the records lie, worked out afresh; none after a failure.
    std::optional<RecordSpan> FindSpan();
    // Reads the record that ends at `end` and leaves the position at its
    // start; a short read gives the end marker and clears ok.
    bool ReadRecordBefore(std::uint64_t end, StepRecord& out);
    // Visits the records a backwards scan meets, newest first, with their
    // offsets, until `visit` returns false or a stored end marker is met.
    template <typename Visit> bool ScanBackwards(const RecordSpan& span, Visit visit);
    // Under a shared lock, `start` with the span found, then `visit` with
    // each record ReadAll gives.
    template <typename Start, typename Visitor> bool ScanShared(Start start, Visitor visit);
    // Waits for the lock; where it is kept apart from the file, with the
    // file let go meanwhile and opened again under the lock.
    FileLock Lock(FileLock::Kind kind);
    std::optional<FileLock> LockForChange();
    // Writes the kept records, then the added ones with the identifiers after
    // `newestIdentifier` and no time of day, both written back into `edit`,
    // and replaces the file, `before`, by the copy.
    bool CopyWith(DiaryEdit& edit, const RecordSpan& span, std::uint32_t newestIdentifier,
                  const std::optional<FileIdentity>& before);
    // Renames the copy over the file, which is no longer open once it has
    // been, where the lock is kept apart from the file.
    bool CommitReplacement(ReplacementFile& copy);
    // Under the lock for a change: `find` reads what it needs of the records
    // in the span and gives the edit, or none when it could not read them;
    // then the file is replaced as Rewrite replaces it.
    using FindDiaryEdit = std::function<std::optional<DiaryEdit>(const RecordSpan& span)>;
    std::optional<DiaryEdit> ReplaceUnderLock(const FindDiaryEdit& find);
    // Removes the newest record that `matches` accepts; true when one was.
    bool DeleteNewest(const std::function<bool(const StepRecord&)>& matches);
    // The newest record that `matches` accepts, and what the file holds once
    // it is gone: its length and newest record.
    struct NewestMatch {
        std::optional<std::size_t> place; // counted from the newest record
        std::uint64_t offset = 0;
        std::uint64_t sizeAfter = 0;
        std::optional<StepRecord> newestAfter;
    };
    std::optional<NewestMatch>
    FindNewestMatch(const RecordSpan& span, const std::function<bool(const StepRecord&)>& matches);

    // Under the lock for a change: `find` gives the bytes to replace, or none
    // to leave the file as it is; then the file is replaced by a copy with
    // them replaced. True when it was.
    using FindBytes = std::function<std::optional<DiaryChangeSeen::Bytes>(const RecordSpan& span)>;
    bool ReplaceBytesUnderLock(const FindBytes& find);
    // A replacement of the file, as kept for LastChange(): the file it
    // replaced, the bytes it changed, and the new file's size and last bytes,
    // which tell it from another.
    struct Replaced {
        std::optional<FileIdentity> before;
        DiaryChangeSeen::Bytes bytes;
        std::uint64_t size = 0;
        std::vector<std::uint8_t> last;
    };
    // What replacing the file by `edit` changes, read under the lock from the
    // file it replaces: from the first removed record, or the end of the
    // records, on, less what the old and new files end alike in.
    std::optional<Replaced> BytesReplacedBy(const DiaryEdit& edit, const RecordSpan& span);
    // Writes a copy of the file with `bytes` replaced, then renames it over
    // the file; `last` gets the copy's last record's worth of bytes.
    bool CopyReplacing(const DiaryChangeSeen::Bytes& bytes, const RecordSpan& span,
                       std::vector<std::uint8_t>& last);
    // Tells the replacement kept in `replaced_` as the last change, when the
    // new file is the one it left.
    void TellReplacement();
    // The file now under the path, checked to be the one a replacement left:
    // `size` bytes ending in `last`.
    std::optional<FileIdentity> IdentityOfReplacement(std::uint64_t size,
                                                      std::span<const std::uint8_t> last);

    std::optional<DiaryChangeSeen> lastChange_;
    bool ok_ = true;
    bool writable_ = true;
    FileStatus notWritable_; // why the file was opened for reading only
    std::filesystem::path path_;
    std::filesystem::path scratch_;
    FileHandle fd_;
    std::uint64_t position_ = 0;
    FileStatus failure_;
    std::uint64_t mostRecords_ = kMostDiaryRecords;
    bool tooLarge_ = false;
    bool wouldOverflow_ = false;
    bool keepBytes_ = false;
    // The last replacement of the file, when its bytes are kept.
    std::optional<Replaced> replaced_;
};
