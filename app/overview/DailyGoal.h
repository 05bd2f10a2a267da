#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The steps a day should reach. A day meets the goal when its entries add up
// to at least this many; a goal of 0 would make every day, even one without
// an entry, a good one, so the least goal is one step.
inline constexpr std::uint32_t kDefaultDailyGoal = 10000;
inline constexpr std::uint32_t kLeastDailyGoal = 1;
inline constexpr std::uint32_t kMostDailyGoal = 4294967295u;

// The goal a text names: decimal digits only, from kLeastDailyGoal to
// kMostDailyGoal; none for a sign, blanks, grouping or anything else, so that
// a typing mistake is never taken for some other goal.
std::optional<std::uint32_t> ParseDailyGoal(std::string_view text);
