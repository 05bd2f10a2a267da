#include "GarminJson.h"

#include "ExportValues.h"
#include "JsonObjects.h"

bool LooksLikeGarminDays(std::string_view head) {
    return StartsJsonArrayWith(head, {"calendarDate", "totalSteps"});
}

void ReadGarminJson(ByteSource& source, DailySteps& daily) {
    ForEachJsonObject(
        source, {"calendarDate", "totalSteps"}, [&](const JsonFields& fields, std::size_t record) {
            const std::string* when = FieldNamed(fields, "calendarDate");
            const std::string* steps = FieldNamed(fields, "totalSteps");
            // A day the watch was not worn has no total.
            if (!steps)
                return;
            auto date = when && when->size() == 10 ? LeadingIsoDate(*when) : std::nullopt;
            auto count = ParseStepCount(*steps);
            if (!date)
                daily.RejectRecord(record, "the day's calendarDate is not YYYY-MM-DD");
            else if (!count)
                daily.RejectRecord(record, "the day's totalSteps is not a number of steps");
            else if (!FitsADiaryEntry(*count))
                daily.RejectRecord(record, "the day's totalSteps " + QuotedText(*steps) +
                                               " is more steps than a diary entry holds");
            else
                // Summary files overlap at their ends; a day is the same day in both.
                daily.KeepLarger(std::chrono::sys_days(*date), *count);
        });
}
