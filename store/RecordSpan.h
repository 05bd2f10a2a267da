#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "StepRecord.h"

// Where the whole records of a diary file lie. Trekline only ever stores
// whole records, so a length that is not a multiple of 24 means one of two
// things: bytes before the first record (a file that came from elsewhere,
// read from its end as always), or a last record torn by a power cut during
// an append, which must not shift every record before it.
struct RecordSpan {
    std::uint64_t begin = 0;  // where the first whole record starts
    std::uint64_t end = 0;    // just past the last whole record
    std::uint64_t length = 0; // of the whole file

    bool HasTornTail() const { return end < length; }
    std::uint64_t Count() const { return (end - begin) / kStepRecordSize; }
};

// Whether Trekline could have stored this record: a real count, a real
// calendar date of any year a record holds, and no time of day.
bool IsStorableRecord(const StepRecord& record);

// Fills the bytes from that offset of the file; false when it cannot.
using ReadFileAt = std::function<bool(std::span<std::uint8_t> bytes, std::uint64_t offset)>;

// The span of a file of that length. The records are taken to start at the
// file's start, with a torn tail after them, only when read that way every
// record is storable and the identifiers rise strictly from start to end, as
// appends leave them, while read from the end they do not. A whole last
// record of zero bytes after records in that order is a torn tail too: the
// length of an append reached the disk, its bytes did not, and so is a file
// shorter than one record: a first append torn short. Every other file
// is read from its end, bytes before the first record skipped. None when the
// file cannot be read.
std::optional<RecordSpan> FindRecordSpan(std::uint64_t length, const ReadFileAt& read);
