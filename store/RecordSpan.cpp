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
    // The years a SYSTEMTIME can hold.
    if (record.steps == kEndMarker || record.year < 1601 || record.year > 30827)
        return false;
    return year_month_day(year(record.year), month(record.month), day(record.day)).ok();
}

std::optional<RecordSpan> FindRecordSpan(std::uint64_t length, const ReadFileAt& read) {
    const std::uint64_t lead = length % kStepRecordSize;
    const std::uint64_t count = length / kStepRecordSize;
    const RecordSpan fromEnd{lead, length, length};
    if (lead == 0 || count == 0)
        return fromEnd;

    AppendedOrder fromStart, behindLead;
    std::vector<std::uint8_t> bytes;
    for (std::uint64_t first = 0; first < count; first += kRecordsPerRead) {
        const std::uint64_t records = std::min(kRecordsPerRead, count - first);
        bytes.resize(records * kStepRecordSize + lead);
        if (!read(bytes, first * kStepRecordSize))
            return std::nullopt;
        for (std::uint64_t i = 0; i < records; ++i) {
            fromStart.Meet(DecodeStepRecord(&bytes[i * kStepRecordSize]));
            behindLead.Meet(DecodeStepRecord(&bytes[i * kStepRecordSize + lead]));
        }
        if (!fromStart.Holds())
            return fromEnd;
    }
    if (behindLead.Holds())
        return fromEnd;
    return RecordSpan{0, length - lead, length};
}
