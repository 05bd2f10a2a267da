// The figures as of a date: periods, best day and streaks, from day totals.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "EditText.h"
#include "ExportValues.h"
#include "StepFigures.h"

namespace {

using std::chrono::sys_days;

sys_days Date(const char* text) {
    return sys_days(*ParseIsoDateText(text));
}

std::string Text(std::optional<sys_days> date) {
    return date ? IsoDateText(std::chrono::year_month_day(*date)) : "none";
}

// Day totals from date and steps pairs, in date order.
std::vector<DayTotal> Days(std::initializer_list<std::pair<const char*, std::uint64_t>> days) {
    std::vector<DayTotal> totals;
    for (const auto& [date, steps] : days)
        totals.push_back({Date(date), steps});
    return totals;
}

// "today | week month year last7 last30", each period as steps/average.
std::string Periods(const StepFigures& f) {
    std::string text = std::to_string(f.today.steps) + " |";
    for (const PeriodSteps& period : {f.week, f.month, f.year, f.last7Days, f.last30Days})
        text += " " + std::to_string(period.steps) + "/" + std::to_string(period.average);
    return text;
}

// "best day | current longest from..to goal days of the last 30"
std::string Highlights(const StepFigures& f) {
    const std::optional<DayTotal>& best = f.bestDay;
    return (best ? Text(best->date) + " " + std::to_string(best->steps) : "none") + " | " +
           std::to_string(f.streaks.current) + " " + std::to_string(f.streaks.longest) + " " +
           Text(f.streaks.longestFrom) + ".." + Text(f.streaks.longestTo) + " " +
           std::to_string(f.goalDaysLast30);
}

} // namespace

// Each period starts where the calendar says, across months, years and leap
// days; the ISO week starts on a Monday.
TEST(StepFiguresTest, PeriodsStartWhereTheCalendarSays) {
    const struct {
        const char* asOf;
        const char* starts; // week, month, year, last 7 and last 30 days
    } cases[] = {
        {"2026-12-09", "2026-12-07 2026-12-01 2026-01-01 2026-12-03 2026-11-10"},
        {"2027-01-01", "2026-12-28 2027-01-01 2027-01-01 2026-12-26 2026-12-03"},
        {"2026-03-01", "2026-02-23 2026-03-01 2026-01-01 2026-02-23 2026-01-31"},
        {"2024-02-29", "2024-02-26 2024-02-01 2024-01-01 2024-02-23 2024-01-31"},
        {"2024-03-01", "2024-02-26 2024-03-01 2024-01-01 2024-02-24 2024-02-01"},
        {"2026-04-30", "2026-04-27 2026-04-01 2026-01-01 2026-04-24 2026-04-01"},
        {"2026-12-07", "2026-12-07 2026-12-01 2026-01-01 2026-12-01 2026-11-08"},
    };
    for (const auto& c : cases) {
        const StepFigures f = FiguresAsOf({}, Date(c.asOf), 10000);
        EXPECT_EQ(Text(f.today.from), c.asOf);
        EXPECT_EQ(Text(f.week.from) + " " + Text(f.month.from) + " " + Text(f.year.from) + " " +
                      Text(f.last7Days.from) + " " + Text(f.last30Days.from),
                  c.starts);
    }
}

// A period's total holds its days up to the as-of date and nothing after;
// its average spreads it over every calendar day, empty ones included,
// rounded to the nearest step with halves up (13 over 2 days is 7).
TEST(StepFiguresTest, PeriodsAddTheirDaysAndAverageOverCalendarDays) {
    const std::uint64_t most = 4294967294u;
    const std::vector<DayTotal> days = Days({{"2025-12-04", 30},
                                             {"2025-12-31", 1000},
                                             {"2026-01-01", 3},
                                             {"2026-01-02", 10},
                                             {"2026-01-05", 7},
                                             {"2026-02-10", 4 * most}});
    const struct {
        const char* asOf;
        const char* periods;
    } cases[] = {
        {"2026-01-02", "10 | 1013/203 13/7 13/7 1013/145 1043/35"},
        {"2026-01-03", "0 | 1013/169 13/4 13/4 1013/145 1013/34"},
        {"2026-01-05", "7 | 7/7 20/4 20/4 1020/146 1020/34"},
        {"2025-12-31", "1000 | 1000/333 1030/33 1030/3 1000/143 1030/34"},
        {"2026-02-10", "17179869176 | 17179869176/8589934588 17179869176/1717986918 "
                       "17179869196/419021200 17179869176/2454267025 17179869176/572662306"},
        {"2020-01-01", "0 | 0/0 0/0 0/0 0/0 0/0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Periods(FiguresAsOf(days, Date(c.asOf), 10000)), c.periods) << c.asOf;
}

// The best day is the largest total up to the as-of date, the earliest of
// equal ones. Streaks are runs of consecutive days whose totals reach the
// goal; the current one may end the day before the as-of date, which is not
// over yet; the longest is the earliest of equal ones.
TEST(StepFiguresTest, BestDayAndStreaksCountDaysUpToTheDate) {
    const std::uint32_t most = 4294967295u;
    const struct {
        std::uint32_t goal;
        std::vector<DayTotal> days;
        const char* highlights; // as of 2026-01-09
    } cases[] = {
        {10000, {}, "none | 0 0 none..none 0"},
        {10, Days({{"2026-01-07", 10}, {"2026-01-08", 11}, {"2026-01-09", 12}}),
         "2026-01-09 12 | 3 3 2026-01-07..2026-01-09 3"},
        {10, Days({{"2026-01-07", 10}, {"2026-01-08", 11}, {"2026-01-09", 9}}),
         "2026-01-08 11 | 2 2 2026-01-07..2026-01-08 2"},
        {10, Days({{"2026-01-07", 10}, {"2026-01-08", 11}}),
         "2026-01-08 11 | 2 2 2026-01-07..2026-01-08 2"},
        {10, Days({{"2026-01-06", 10}, {"2026-01-07", 10}, {"2026-01-08", 3}}),
         "2026-01-06 10 | 0 2 2026-01-06..2026-01-07 2"},
        {10, Days({{"2026-01-06", 10}, {"2026-01-08", 10}}),
         "2026-01-06 10 | 1 1 2026-01-06..2026-01-06 2"},
        {10, Days({{"2025-12-01", 10}, {"2025-12-02", 10}, {"2025-12-20", 10}, {"2025-12-21", 10}}),
         "2025-12-01 10 | 0 2 2025-12-01..2025-12-02 2"},
        {10, Days({{"2025-12-30", 10}, {"2025-12-31", 10}, {"2026-01-01", 10}, {"2026-01-03", 10}}),
         "2025-12-30 10 | 0 3 2025-12-30..2026-01-01 4"},
        {10, Days({{"2026-01-09", 10}, {"2026-01-10", 90}, {"2026-01-11", 10}}),
         "2026-01-09 10 | 1 1 2026-01-09..2026-01-09 1"},
        {10, Days({{"2025-12-10", 10}, {"2025-12-11", 10}}),
         "2025-12-10 10 | 0 2 2025-12-10..2025-12-11 1"},
        {10, Days({{"1899-12-31", 500}, {"2026-01-09", 400}}),
         "1899-12-31 500 | 1 1 1899-12-31..1899-12-31 1"},
        {1, Days({{"2026-01-08", 0}, {"2026-01-09", 1}}),
         "2026-01-09 1 | 1 1 2026-01-09..2026-01-09 1"},
        {most, Days({{"2026-01-08", most - 1}, {"2026-01-09", most}}),
         "2026-01-09 4294967295 | 1 1 2026-01-09..2026-01-09 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Highlights(FiguresAsOf(c.days, Date("2026-01-09"), c.goal)), c.highlights)
            << c.goal << " " << c.highlights;
}
