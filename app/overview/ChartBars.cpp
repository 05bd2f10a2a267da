#include "ChartBars.h"

#include <algorithm>

#include "StepFigures.h"

namespace {

using namespace std::chrono;

constexpr std::uint64_t kMostScaleSteps = 5;

ChartBar Bar(std::span<const DayTotal> totals, sys_days from, sys_days to) {
    return {from, to, StepsBetween(totals, from, to).average};
}

} // namespace

std::vector<ChartBar> ChartBarsOf(std::span<const DayTotal> totals, sys_days asOf, ChartSpan span) {
    const year_month_day date(asOf);
    std::vector<ChartBar> bars;
    switch (span) {
    case ChartSpan::kLast7Days:
    case ChartSpan::kLast30Days:
        for (int back = span == ChartSpan::kLast7Days ? 6 : 29; back >= 0; --back)
            bars.push_back(Bar(totals, asOf - days{back}, asOf - days{back}));
        break;
    case ChartSpan::kLast12Months:
        for (int back = 11; back >= 0; --back) {
            const year_month month = date.year() / date.month() - months{back};
            bars.push_back(
                Bar(totals, sys_days(month / 1), std::min(sys_days(month / last), asOf)));
        }
        break;
    case ChartSpan::kAllYears: {
        year first = date.year();
        if (!totals.empty() && totals.front().date <= asOf)
            first = year_month_day(totals.front().date).year();
        for (year y = first; y <= date.year(); ++y)
            bars.push_back(Bar(totals, sys_days(y / January / 1),
                               std::min(sys_days(y / December / 31), asOf)));
        break;
    }
    }
    return bars;
}

std::vector<std::uint64_t> ChartScale::Ticks() const {
    std::vector<std::uint64_t> ticks;
    for (std::uint64_t tick = 0; tick <= top; tick += step)
        ticks.push_back(tick);
    return ticks;
}

ChartScale ScaleFor(std::uint64_t largest) {
    for (std::uint64_t power = 1;; power *= 10)
        for (const std::uint64_t times : {1, 2, 5}) {
            const std::uint64_t step = times * power;
            const std::uint64_t steps =
                std::max<std::uint64_t>(1, largest / step + (largest % step != 0));
            if (steps <= kMostScaleSteps)
                return {step, steps * step};
        }
}
