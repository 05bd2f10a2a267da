#include "RecordSpan.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

// Records read at a time while telling the two layouts apart.
constexpr std::uint64_t kRecordsPerRead = 4096;

// The records of one layout, met in file order, as long as they look stored
// by appends.
class AppendedOrder {
public:
    void Meet(const StepRecord& record) {
        holds_ = holds_ && IsStorableRecord(record) && (first_ || record.identifier > last_);
        first_ = false;
        last_ = record.identifier;
    }
    bool Holds() const { return holds_; }

private:
    bool holds_ = true;
    bool first_ = true;
    std::uint32_t last_ = 0;
};

} // namespace

bool IsStorableRecord(const StepRecord& record) {
    using namespace std::chrono;
    // Imports and the date picker store any year from 0000, so the years
    // before the calendar-time range count too; the time of day is always
    // stored as zero.
    if (record.steps == kEndMarker || record.year > 30827 || record.hour != 0 ||
        record.minute != 0 || record.second != 0 || record.milliseconds != 0 || record.month > 12 ||
        record.day > 31) // the calendar types keep them in a byte
        return false;
    return year_month_day(year(record.year), month(record.month), day(record.day)).ok();
}

namespace {

// Meets the first `count` records of both layouts, a read at a time; false
// when the file cannot be read. Stops early once records read from the start
// of the file are known not to be in appended order.
bool MeetRecords(std::uint64_t count, std::uint64_t lead, const ReadFileAt& read,
                 AppendedOrder& fromStart, AppendedOrder& behindLead) {
    std::vector<std::uint8_t> bytes;
    for (std::uint64_t first = 0; first < count && fromStart.Holds(); first += kRecordsPerRead) {
        const std::uint64_t records = std::min(kRecordsPerRead, count - first);
        bytes.resize(records * kStepRecordSize + lead);
        if (!read(bytes, first * kStepRecordSize))
            return false;
        for (std::uint64_t i = 0; i < records; ++i) {
            fromStart.Meet(DecodeStepRecord(&bytes[i * kStepRecordSize]));
            if (lead > 0)
                behindLead.Meet(DecodeStepRecord(&bytes[i * kStepRecordSize + lead]));
        }
    }
    return true;
}

} // namespace

std::optional<RecordSpan> FindRecordSpan(std::uint64_t length, const ReadFileAt& read) {
    const std::uint64_t lead = length % kStepRecordSize;
    const std::uint64_t count = length / kStepRecordSize;
    const RecordSpan fromEnd{lead, length, length};
    // Fewer bytes than one record hold no entry however they are read; ours
    // are only ever a first append torn short.
    if (count == 0)
        return RecordSpan{0, 0, length};
    AppendedOrder fromStart, behindLead;
    if (lead == 0) {
        // A last record of zero bytes is an append whose length reached the
        // disk before its bytes did; no entry is all zeros (year 0).
        StepRecordBytes last;
        if (!read(last, length - kStepRecordSize))
            return std::nullopt;
        if (std::any_of(last.begin(), last.end(), [](std::uint8_t b) { return b != 0; }))
            return fromEnd;
        if (!MeetRecords(count - 1, 0, read, fromStart, behindLead))
            return std::nullopt;
        return fromStart.Holds() ? RecordSpan{0, length - kStepRecordSize, length} : fromEnd;
    }
    if (!MeetRecords(count, lead, read, fromStart, behindLead))
        return std::nullopt;
    if (!fromStart.Holds() || behindLead.Holds())
        return fromEnd;
    return RecordSpan{0, length - lead, length};
}
