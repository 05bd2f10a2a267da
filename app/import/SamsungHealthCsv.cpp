#include "SamsungHealthCsv.h"

#include <charconv>

#include "CsvLines.h"
#include "ExportValues.h"
#include "ImportError.h"

namespace {

constexpr char kMarker[] = "com.samsung.shealth.step_daily_trend";
// The rows of the total Samsung Health works out over all devices; the other
// rows repeat the same steps per device.
constexpr char kAllDevices[] = "-2";
constexpr std::int64_t kMsPerDay = 86'400'000;

// Some exports name columns with a prefix ("com.samsung.health.step_count.count").
std::size_t ColumnNamed(const std::vector<std::string>& header, std::string_view name) {
    for (std::size_t i = 0; i < header.size(); ++i) {
        std::string_view column = TrimSpaces(header[i]);
        std::size_t dot = column.rfind('.');
        if ((dot == std::string::npos ? column : column.substr(dot + 1)) == name)
            return i;
    }
    return std::string::npos;
}

// The day's 00:00 UTC in milliseconds names the calendar date itself: no time
// zone applies to it.
std::optional<std::chrono::sys_days> DayOf(std::string_view text) {
    text = TrimSpaces(text);
    std::int64_t ms = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ms);
    if (error == std::errc() && end == text.data() + text.size()) {
        std::int64_t day = ms / kMsPerDay - (ms % kMsPerDay < 0 ? 1 : 0);
        if (day < -719'468 || day > 2'932'896) // 0000-03-01 to 9999-12-31
            return std::nullopt;
        return std::chrono::sys_days(std::chrono::days(day));
    }
    if (auto date = LeadingIsoDate(text))
        return std::chrono::sys_days(*date);
    return std::nullopt;
}

} // namespace

bool IsSamsungStepDailyTrend(std::string_view head) {
    return head.starts_with(kMarker) ||
           (head.starts_with("\xEF\xBB\xBF") && head.substr(3).starts_with(kMarker));
}

void ReadSamsungHealthCsv(ByteSource& source, DailySteps& daily) {
    CsvLines lines(source);
    std::string_view line;
    if (!lines.Next(line) || !lines.Next(line))
        return;
    const std::vector<std::string> header = CsvFields(line);
    const std::size_t dayColumn = ColumnNamed(header, "day_time");
    const std::size_t sourceColumn = ColumnNamed(header, "source_type");
    const std::size_t countColumn = ColumnNamed(header, "count");
    if (dayColumn == std::string::npos || sourceColumn == std::string::npos ||
        countColumn == std::string::npos)
        throw ImportError("has no day_time, source_type and count columns");
    while (lines.Next(line)) {
        if (TrimSpaces(line).empty())
            continue;
        const std::vector<std::string> fields = CsvFields(line);
        if (sourceColumn >= fields.size() || TrimSpaces(fields[sourceColumn]) != kAllDevices)
            continue;
        auto day = dayColumn < fields.size() ? DayOf(fields[dayColumn]) : std::nullopt;
        auto count =
            countColumn < fields.size() ? ParseStepCount(fields[countColumn]) : std::nullopt;
        if (!day)
            daily.Reject(lines.Number(), "day_time is not a date");
        else if (!count)
            daily.Reject(lines.Number(), "count is not a number of steps");
        else
            daily.KeepLarger(*day, *count);
    }
}
