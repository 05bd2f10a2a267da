#include "GoogleFitCsv.h"

#include "CsvLines.h"
#include "ExportValues.h"
#include "ImportError.h"

namespace {
constexpr char kDate[] = "Date";
constexpr char kSteps[] = "Step count";
} // namespace

bool IsGoogleFitDailyHeader(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF"))
        head.remove_prefix(3);
    std::vector<std::string> header = CsvFields(head.substr(0, head.find_first_of("\r\n")));
    return ColumnIndex(header, kDate) != std::string::npos &&
           ColumnIndex(header, kSteps) != std::string::npos;
}

void ReadGoogleFitCsv(ByteSource& source, DailySteps& daily) {
    CsvLines lines(source);
    std::string_view line;
    if (!lines.Next(line))
        return;
    const std::vector<std::string> header = CsvFields(line);
    const std::size_t dateColumn = ColumnIndex(header, kDate);
    const std::size_t stepsColumn = ColumnIndex(header, kSteps);
    if (dateColumn == std::string::npos)
        throw ImportError("has no Date column");
    // An export without any steps leaves the column out.
    if (stepsColumn == std::string::npos)
        return;
    while (lines.Next(line)) {
        if (TrimSpaces(line).empty())
            continue;
        const std::vector<std::string> fields = CsvFields(line);
        const std::string_view steps =
            stepsColumn < fields.size() ? TrimSpaces(fields[stepsColumn]) : "";
        if (steps.empty())
            continue;
        const std::string_view dateText =
            dateColumn < fields.size() ? TrimSpaces(fields[dateColumn]) : "";
        auto date = dateText.size() == 10 ? LeadingIsoDate(dateText) : std::nullopt;
        auto count = ParseStepCount(steps);
        if (!date)
            daily.Reject(lines.Number(), "the date is not YYYY-MM-DD");
        else if (!count)
            daily.Reject(lines.Number(), "the step count is not a number of steps");
        else
            daily.KeepLarger(std::chrono::sys_days(*date), *count);
    }
}
