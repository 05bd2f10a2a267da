#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

#include "DayTotals.h"

// How a diary is doing as of one date: what the overview window and the
// command line's summary both show, worked out once here so that the two
// always agree. Days after the as-of date count nowhere, as if not yet
// walked; a day without entries counts as 0 steps.

// The steps of the days from `from` to the as-of date, both included.
struct PeriodSteps {
    std::chrono::sys_days from;
    std::uint64_t steps = 0;
    // Steps a day over every calendar day of the period, to the nearest
    // whole step, halves up.
    std::uint64_t average = 0;

    bool operator==(const PeriodSteps&) const = default;
};

// Runs of consecutive days that meet the goal.
struct GoalStreaks {
    // The run that ends on the as-of date when that day meets the goal, else
    // on the day before: a day still under way has not broken the streak yet.
    std::uint32_t current = 0;
    // The longest run up to the as-of date, the earliest of equal ones; no
    // dates when no day has met the goal.
    std::uint32_t longest = 0;
    std::optional<std::chrono::sys_days> longestFrom;
    std::optional<std::chrono::sys_days> longestTo;

    bool operator==(const GoalStreaks&) const = default;
};

struct StepFigures {
    std::chrono::sys_days asOf;
    std::uint32_t goal = 0;
    PeriodSteps today;
    PeriodSteps week; // from the Monday of the as-of date's ISO week
    PeriodSteps month;
    PeriodSteps year;
    PeriodSteps last7Days;
    PeriodSteps last30Days;
    // The largest day total, the earliest of equal ones; none before any entry.
    std::optional<DayTotal> bestDay;
    GoalStreaks streaks;
    // How many of the last 30 days (the as-of date included) met the goal.
    std::uint32_t goalDaysLast30 = 0;

    bool operator==(const StepFigures&) const = default;
};

// The steps of the days from `from` to `to`, both included, of the day
// totals (in date order).
PeriodSteps StepsBetween(std::span<const DayTotal> totals, std::chrono::sys_days from,
                         std::chrono::sys_days to);

// The figures of the day totals (in date order, as DayTotalsOf gives them)
// as of `asOf`, for a daily goal of `goal` steps (at least 1).
StepFigures FiguresAsOf(std::span<const DayTotal> totals, std::chrono::sys_days asOf,
                        std::uint32_t goal);
