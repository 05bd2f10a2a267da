#include "ExportValues.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "StepRecord.h"

namespace {

bool Digits(std::string_view text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::optional<std::chrono::year_month_day> LeadingIsoDate(std::string_view text) {
    int year, month, day;
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || text[0] == '-' || text[5] == '-' ||
        text[8] == '-' || !Digits(text.substr(0, 4), year) || !Digits(text.substr(5, 2), month) ||
        !Digits(text.substr(8, 2), day))
        return std::nullopt;
    std::chrono::year_month_day date{std::chrono::year(year),
                                     std::chrono::month(static_cast<unsigned>(month)),
                                     std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok())
        return std::nullopt;
    return date;
}

std::string IsoDateText(std::chrono::year_month_day date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::optional<std::uint64_t> ParseStepCount(std::string_view text) {
    text = TrimSpaces(text);
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    std::uint64_t whole = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (error == std::errc() && end == text.data() + text.size())
        return whole;
    double value = 0;
    auto [dend, derror] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (derror != std::errc() || dend != text.data() + text.size() || !std::isfinite(value) ||
        value >= 1.8e19)
        return std::nullopt;
    // Rounded as a double: below 1.8e19 it always fits the unsigned count,
    // where llround's signed result would not.
    return static_cast<std::uint64_t>(std::round(value));
}

std::string QuotedText(std::string_view text) {
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown)
        return "\"" + std::string(text) + "\"";
    return "\"" + std::string(text.substr(0, kShown)) + "...\"";
}

bool FitsADiaryEntry(std::uint64_t steps) {
    return steps < kEndMarker;
}
