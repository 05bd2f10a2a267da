#include "DiaryCommands.h"

#include "CStepFile.h"

namespace {

constexpr const char* kDataFileName = "data.steps";

} // namespace

std::optional<std::vector<EntryItem>> LoadEntryItems() {
    CStepFile file(kDataFileName);
    if (!file.IsOk())
        return std::nullopt;
    return BuildEntryItems(file.ReadAll());
}

bool AddEntry(std::uint32_t steps, std::chrono::year_month_day date) {
    StepRecord record;
    record.steps = steps;
    record.year = static_cast<std::uint16_t>(static_cast<int>(date.year()));
    record.month = static_cast<std::uint16_t>(static_cast<unsigned>(date.month()));
    record.day = static_cast<std::uint16_t>(static_cast<unsigned>(date.day()));
    record.dayOfWeek =
        static_cast<std::uint16_t>(std::chrono::weekday(std::chrono::sys_days(date)).c_encoding());
    CStepFile file(kDataFileName);
    if (!file.IsOk())
        return false;
    file.Append(record);
    return file.IsOk();
}

void DeleteEntry(std::uint32_t identifier) {
    CStepFile file(kDataFileName);
    file.DeleteById(identifier);
}
