#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "DiaryFiles.h"
#include "StepRecord.h"

// The accessor for one step data file. Each command makes one, works and lets
// it go; constructing opens the file (creating it when missing), destroying
// closes it. Failures never throw: they clear the ok flag, and operations that
// obtain no record return the end marker in its steps field.
//
// Records are read from the end backwards; after a record has been read the
// stream position is at that record's first byte. Bytes before the first whole
// record (a length that is not a multiple of 24) are never read as a record.
//
// Changes are durable when a call returns, and safe against other processes
// changing the same file: appends and deletes are serialised by a lock.
class CStepFile {
public:
    explicit CStepFile(const DiaryFiles& files);
    ~CStepFile();
    CStepFile(const CStepFile&) = delete;
    CStepFile& operator=(const CStepFile&) = delete;

    bool IsOk() const { return ok_; }

    // The newest record, or the end marker with identifier 0 when the file
    // holds none; the position is then at that record's start.
    void ReadLast(StepRecord& out);
    // The record before the current position, or the end marker.
    void StepBack(StepRecord& out);

    // Stores the record after the newest one with the next identifier and the
    // time of day zeroed, both written back into the caller's record. Refuses
    // a steps value equal to the end marker. Does nothing when not open.
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

    // Every record a backwards scan visits, newest first, from one read of
    // the file: what ReadLast and StepBack would return up to the end marker.
    std::vector<StepRecord> ReadAll();

private:
    bool Reopen();
    // Reads the record that ends at `end` and leaves the position at its
    // start; a short read gives the end marker and clears ok.
    bool ReadRecordBefore(long end, StepRecord& out);
    bool LockForChange();
    void Unlock();
    std::optional<std::vector<unsigned char>> ReadWholeFile();
    // Removes the newest record that `matches` accepts; true when one was.
    bool DeleteNewest(const std::function<bool(const StepRecord&)>& matches);

    bool ok_ = true;
    bool writable_ = true;
    std::filesystem::path path_;
    std::filesystem::path scratch_;
    std::FILE* stream_ = nullptr;
};
