#include "EditText.h"

#include <array>
#include <charconv>

#include "ExportValues.h"
#include "StepRecord.h"

namespace {

// Separators a locale may put between groups of three digits: comma, full stop,
// space, apostrophe, no-break space and narrow no-break space.
constexpr std::array<std::string_view, 6> kGroupSeparators = {",", ".",        " ",
                                                              "'", "\xC2\xA0", "\xE2\x80\xAF"};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == count)
            return text.substr(0, i);
    }
    return text;
}

// What a number is read from: the edit's first characters with leading blanks
// skipped, and the sign before the digits, if any.
struct NumberText {
    char sign = 0;
    std::string_view digits;
};

NumberText ReadNumberText(std::string_view whole) {
    std::string_view text = FirstCharacters(whole, kEditTextLimit);
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    NumberText number;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        number.sign = text[at++];
    number.digits = text.substr(at);
    return number;
}

std::size_t CountDigits(std::string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    return end - from;
}

// The length of the separator that starts a following group of exactly three
// digits at `at`, given the separator already in use (empty: any), or 0.
std::size_t GroupSeparatorAt(std::string_view text, std::size_t at, std::string_view inUse) {
    for (std::string_view separator : kGroupSeparators) {
        if (!inUse.empty() && separator != inUse)
            continue;
        if (text.substr(at, separator.size()) != separator)
            continue;
        if (CountDigits(text, at + separator.size()) == 3)
            return separator.size();
    }
    return 0;
}

} // namespace

std::optional<std::uint32_t> ParseStepsText(std::string_view whole) {
    const NumberText number = ReadNumberText(whole);
    if (number.sign == '-')
        return std::nullopt;
    const std::string_view text = number.digits;

    std::uint64_t value = 0;
    std::size_t firstGroup = CountDigits(text, 0);
    std::string_view separator;
    std::size_t digitsEnd = firstGroup;
    auto take = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
            if (value >= kEndMarker)
                return false;
        }
        return true;
    };
    if (!take(0, digitsEnd))
        return std::nullopt;
    if (firstGroup >= 1 && firstGroup <= 3) {
        while (std::size_t length = GroupSeparatorAt(text, digitsEnd, separator)) {
            separator = text.substr(digitsEnd, length);
            std::size_t groupStart = digitsEnd + length;
            digitsEnd = groupStart + 3;
            if (!take(groupStart, digitsEnd))
                return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

std::uint32_t ParseStepLength(std::string_view whole) {
    const NumberText number = ReadNumberText(whole);
    const std::string_view text = number.digits;
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range || value > UINT32_MAX)
        return UINT32_MAX;
    if (error != std::errc())
        return 0;
    // strtoul negates in unsigned arithmetic: "-1" is the largest value.
    return static_cast<std::uint32_t>(number.sign == '-' ? 0 - value : value);
}

std::optional<std::chrono::year_month_day> ParseIsoDateText(std::string_view text) {
    text = TrimSpaces(text);
    if (text.size() != 10)
        return std::nullopt;
    return LeadingIsoDate(text);
}
