#include "TestDiary.h"

#include "TempDir.h"

StepRecord DiaryEntry(std::uint32_t steps, int year, int month, int day, std::uint32_t identifier,
                      int dayOfWeek) {
    StepRecord r;
    r.steps = steps;
    r.year = static_cast<std::uint16_t>(year);
    r.month = static_cast<std::uint16_t>(month);
    r.day = static_cast<std::uint16_t>(day);
    r.dayOfWeek = static_cast<std::uint16_t>(dayOfWeek);
    r.identifier = identifier;
    return r;
}

std::vector<unsigned char> DiaryBytes(const std::vector<StepRecord>& records,
                                      std::vector<unsigned char> lead) {
    for (const StepRecord& r : records) {
        StepRecordBytes b = EncodeStepRecord(r);
        lead.insert(lead.end(), b.begin(), b.end());
    }
    return lead;
}

void WriteDiary(const std::vector<StepRecord>& records, std::vector<unsigned char> lead) {
    WriteFileBytes(HereFiles().steps, DiaryBytes(records, std::move(lead)));
}
