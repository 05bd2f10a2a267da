#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "DayTotals.h"

// What the overview's chart draws: the day totals gathered into bars as of a
// date, oldest first, and a value axis in round steps. Each bar's value is
// its steps a day, so that a month's bar and a day's bar read alike; days
// after the as-of date count nowhere, days without entries as 0.

enum class ChartSpan {
    kLast7Days,    // a bar a day, the as-of date last
    kLast30Days,   // a bar a day
    kLast12Months, // a bar a month, the as-of date's month up to that date
    kAllYears,     // a bar a year from the first entry's, the as-of year up to that date
};

struct ChartBar {
    std::chrono::sys_days from;
    std::chrono::sys_days to; // the bar's last day
    // Steps a day from `from` to `to`, to the nearest step, halves up: for a
    // bar of one day, that day's total.
    std::uint64_t steps = 0;
};

std::vector<ChartBar> ChartBarsOf(std::span<const DayTotal> totals, std::chrono::sys_days asOf,
                                  ChartSpan span);

// A value axis from 0 to `top` in steps of 1, 2 or 5 times a power of ten,
// as a reader counts, with at most five steps.
struct ChartScale {
    std::uint64_t step = 1;
    std::uint64_t top = 1;

    // 0, step, 2 step, ... top.
    std::vector<std::uint64_t> Ticks() const;
};

// The scale whose top is the least at or above `largest` (the largest bar,
// or the goal where a goal line is drawn); one step for nothing at all. For
// any value a diary's days can reach (below 2^60).
ChartScale ScaleFor(std::uint64_t largest);
