#include "DiaryFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <stdlib.h> // mkdtemp

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

void WriteCenturyDiary(const std::filesystem::path& file, std::uint32_t entries, bool shuffled) {
    using namespace std::chrono;
    constexpr std::uint32_t kDays = 36500;
    const sys_days last = year{2025} / December / 31;
    const std::uint32_t perDay = std::max(1u, (entries + kDays - 1) / kDays);
    std::vector<StepRecord> records(entries);
    for (std::uint32_t i = 0; i < entries; ++i) {
        StepRecord& r = records[i];
        r.steps = 2000 + (i * 7919u) % 14000;
        SetEntryDate(r, year_month_day{last - days{(entries - 1 - i) / perDay}});
    }
    if (shuffled)
        std::shuffle(records.begin(), records.end(), std::mt19937(2026));
    std::vector<unsigned char> bytes(std::size_t{entries} * kStepRecordSize);
    for (std::uint32_t i = 0; i < entries; ++i) {
        records[i].identifier = i + 1;
        EncodeStepRecord(records[i], &bytes[std::size_t{i} * kStepRecordSize]);
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint32_t> BenchSizes(int argc, char** argv, std::vector<std::uint32_t> defaults) {
    if (argc <= 1)
        return defaults;
    std::vector<std::uint32_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<std::uint32_t>(std::strtoul(argv[i], nullptr, 10)));
    return sizes;
}

std::filesystem::path MakeBenchDirectory() {
    std::string work = (std::filesystem::temp_directory_path() / "trekline-bench-XXXXXX").string();
    if (!mkdtemp(work.data()))
        return {};
    return work;
}
