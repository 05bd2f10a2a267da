#include "DiaryFixture.h"

#include <chrono>
#include <fstream>
#include <vector>

#include "EntryDate.h"
#include "StepRecord.h"

void WriteDailyDiary(const std::filesystem::path& file, std::uint32_t entries) {
    using namespace std::chrono;
    const sys_days last = year{2025} / December / 31;
    std::vector<unsigned char> bytes;
    bytes.reserve(entries * kStepRecordSize);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const sys_days day = last - days{entries - 1 - i};
        const year_month_day date{day};
        StepRecord r;
        r.steps = 2000 + (i * 7919u) % 14000;
        SetEntryDate(r, date);
        r.identifier = i + 1;
        StepRecordBytes b = EncodeStepRecord(r);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}
