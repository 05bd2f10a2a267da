#include "DailyGoal.h"

#include <charconv>
#include <cstdint>

std::optional<std::uint32_t> ParseDailyGoal(std::string_view text) {
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < kLeastDailyGoal ||
        value > kMostDailyGoal)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}
