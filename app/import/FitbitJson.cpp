#include "FitbitJson.h"

#include <charconv>

#include "ExportValues.h"
#include "JsonObjects.h"

namespace {

bool TwoDigits(std::string_view text, unsigned& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + 2, value);
    return error == std::errc() && end == text.data() + 2;
}

// "MM/DD/YY HH:MM:SS", the year in two digits: the service started this century.
std::optional<std::chrono::year_month_day> SampleDate(std::string_view text) {
    unsigned month, day, year;
    if (text.size() < 8 || text[2] != '/' || text[5] != '/' || !TwoDigits(text, month) ||
        !TwoDigits(text.substr(3), day) || !TwoDigits(text.substr(6), year) ||
        (text.size() > 8 && text[8] != ' '))
        return LeadingIsoDate(text);
    std::chrono::year_month_day date{std::chrono::year(2000 + static_cast<int>(year)),
                                     std::chrono::month(month), std::chrono::day(day)};
    return date.ok() ? std::optional(date) : std::nullopt;
}

} // namespace

bool LooksLikeFitbitSamples(std::string_view head) {
    return StartsJsonArrayWith(head, {"dateTime", "value"});
}

void ReadFitbitJson(ByteSource& source, DailySteps& daily) {
    ForEachJsonObject(
        source, {"dateTime", "value"}, [&](const JsonFields& fields, std::size_t record) {
            const std::string* when = FieldNamed(fields, "dateTime");
            const std::string* value = FieldNamed(fields, "value");
            if (!when && !value)
                return;
            auto date = when ? SampleDate(*when) : std::nullopt;
            auto count = value ? ParseStepCount(*value) : std::nullopt;
            if (!date)
                daily.RejectRecord(record, "the sample's dateTime is not MM/DD/YY HH:MM:SS");
            else if (!count)
                daily.RejectRecord(record, "the sample's value is not a number of steps");
            else if (!FitsADiaryEntry(*count))
                daily.RejectRecord(record, "the sample's value " + QuotedText(*value) +
                                               " is more steps than a diary entry holds");
            else
                daily.Add(std::chrono::sys_days(*date), *count);
        });
}
