#include "StepFigures.h"

#include <algorithm>

namespace {

using std::chrono::sys_days;
constexpr std::chrono::days kOneDay{1};

// The longest run of goal days, the earliest of equal ones.
void FindLongestStreak(std::span<const DayTotal> totals, std::uint32_t goal, GoalStreaks& streaks) {
    std::uint32_t run = 0;
    sys_days runFrom{};
    sys_days runTo{};
    for (const DayTotal& day : totals) {
        if (day.steps < goal) {
            run = 0;
            continue;
        }
        if (run == 0 || day.date != runTo + kOneDay) {
            run = 0;
            runFrom = day.date;
        }
        ++run;
        runTo = day.date;
        if (run > streaks.longest) {
            streaks.longest = run;
            streaks.longestFrom = runFrom;
            streaks.longestTo = runTo;
        }
    }
}

std::uint32_t CurrentStreak(std::span<const DayTotal> totals, sys_days asOf, std::uint32_t goal) {
    auto day = totals.rbegin();
    const bool asOfHasEntries = day != totals.rend() && day->date == asOf;
    const bool asOfMet = asOfHasEntries && day->steps >= goal;
    if (asOfHasEntries && !asOfMet)
        ++day;
    sys_days expected = asOfMet ? asOf : asOf - kOneDay;
    std::uint32_t streak = 0;
    for (; day != totals.rend() && day->date == expected && day->steps >= goal; ++day) {
        ++streak;
        expected -= kOneDay;
    }
    return streak;
}

} // namespace

PeriodSteps StepsBetween(std::span<const DayTotal> totals, sys_days from, sys_days to) {
    PeriodSteps period{from};
    const auto first = std::ranges::lower_bound(totals, from, {}, &DayTotal::date);
    const auto after = std::ranges::upper_bound(totals, to, {}, &DayTotal::date);
    for (auto day = first; day < after; ++day)
        period.steps += day->steps;
    const auto calendarDays = static_cast<std::uint64_t>((to - from).count() + 1);
    period.average = (period.steps + calendarDays / 2) / calendarDays;
    return period;
}

StepFigures FiguresAsOf(std::span<const DayTotal> totals, sys_days asOf, std::uint32_t goal) {
    using namespace std::chrono;
    const auto after = std::ranges::upper_bound(totals, asOf, {}, &DayTotal::date);
    const std::span<const DayTotal> counted =
        totals.first(static_cast<std::size_t>(after - totals.begin()));

    const year_month_day date(asOf);
    const weekday weekdayOf(asOf);
    StepFigures figures;
    figures.asOf = asOf;
    figures.goal = goal;
    figures.today = StepsBetween(counted, asOf, asOf);
    figures.week = StepsBetween(counted, asOf - days{weekdayOf.iso_encoding() - 1}, asOf);
    figures.month = StepsBetween(counted, sys_days(date.year() / date.month() / 1), asOf);
    figures.year = StepsBetween(counted, sys_days(date.year() / January / 1), asOf);
    figures.last7Days = StepsBetween(counted, asOf - days{6}, asOf);
    figures.last30Days = StepsBetween(counted, asOf - days{29}, asOf);

    // max_element gives the first of equal totals, which is the earliest date.
    if (const auto best = std::ranges::max_element(counted, {}, &DayTotal::steps);
        best != counted.end())
        figures.bestDay = *best;
    FindLongestStreak(counted, goal, figures.streaks);
    figures.streaks.current = CurrentStreak(counted, asOf, goal);
    const auto last30 =
        std::ranges::lower_bound(counted, figures.last30Days.from, {}, &DayTotal::date);
    figures.goalDaysLast30 = static_cast<std::uint32_t>(std::count_if(
        last30, counted.end(), [goal](const DayTotal& day) { return day.steps >= goal; }));
    return figures;
}
