#include "AddedNotice.h"

#include <locale>
#include <sstream>

#include "EntryDate.h"
#include "EntryText.h"

namespace {

// Thousands grouped by commas, as the notice is worded in English whatever
// the user's locale.
class CommaThousands : public std::numpunct<char> {
protected:
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

std::string Grouped(std::uint64_t count) {
    std::ostringstream text;
    text.imbue(std::locale(std::locale::classic(), new CommaThousands));
    text << count;
    return text.str();
}

} // namespace

std::uint64_t DayTotal(const std::vector<ShownEntry>& rows, const StepRecord& record) {
    // Equal date parts of the keys are equal dates in the list's texts.
    const std::uint64_t date = EntryTextKeyOf(record).date;
    std::uint64_t total = 0;
    for (const ShownEntry& row : rows)
        if (row.key.date == date)
            total += row.record.steps;
    return total;
}

std::string AddedNotice(const std::vector<ShownEntry>& rows, const StepRecord& added) {
    std::string notice = "Added " + Grouped(added.steps) + (added.steps == 1 ? " step" : " steps");
    const std::string date = FormatEntryDate(added, "%Y.%m.%d");
    // A record the library cannot date is listed without a date, and has no
    // day to total.
    if (date.empty())
        return notice;
    return notice + " on " + date + ": " + Grouped(DayTotal(rows, added)) + " that day";
}
