#include "ExportValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "StepRecord.h"

namespace {

// The value of the digits, or -1 when any is no digit. Read digit by digit: a
// CSV file of a million rows has a million dates.
int DigitsValue(std::string_view digits) {
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Digits grouped in threes by commas ("12,345"), the first at `comma`,
// without the commas; empty when the commas group nothing.
std::string Ungrouped(std::string_view text, std::size_t comma) {
    if (comma == 0 || comma > 3 || (text.size() - comma) % 4 != 0)
        return {};
    for (std::size_t i = comma; i < text.size(); i += 4)
        if (text[i] != ',')
            return {};
    std::string ungrouped;
    std::ranges::copy_if(text, std::back_inserter(ungrouped), [](char c) { return c != ','; });
    return ungrouped;
}

} // namespace

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::optional<std::chrono::year_month_day> LeadingIsoDate(std::string_view text,
                                                          std::string_view separators) {
    if (text.size() < 10 || separators.find(text[4]) == std::string_view::npos ||
        text[7] != text[4])
        return std::nullopt;
    const int year = DigitsValue(text.substr(0, 4));
    const int month = DigitsValue(text.substr(5, 2));
    const int day = DigitsValue(text.substr(8, 2));
    if (year < 0 || month < 0 || day < 0)
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(year),
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

std::optional<std::uint64_t> ParseStepCount(std::string_view text, CountText form) {
    text = TrimSpaces(text);
    std::string ungrouped;
    if (const std::size_t comma = text.find(',');
        form == CountText::Grouped && comma != std::string_view::npos) {
        ungrouped = Ungrouped(text, comma);
        text = ungrouped;
    }
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    std::uint64_t whole = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (error == std::errc() && end == text.data() + text.size())
        return whole;
    if (form == CountText::Grouped)
        return std::nullopt;
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
