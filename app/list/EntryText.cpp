#include "EntryText.h"

#include <charconv>

#include "EntryDate.h"

namespace {

constexpr int kMostDigits = 10; // of a 32-bit count, and of any year mktime can give

// The decimal digits of `value` as 4-bit codes 1 to 10, the first digit in the
// highest place and code 0 after the last digit. Compared as numbers, two such
// codes order as the digit texts do byte by byte, the shorter text first where
// it is the start of the other: "1000" before "900", "1999" before "19990".
std::uint64_t DigitCodes(std::uint64_t value) {
    char digits[20] = {};
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    std::uint64_t codes = 0;
    for (int i = 0; i < kMostDigits; ++i) {
        const bool digit = i < end - digits;
        codes = codes << 4 | (digit ? static_cast<unsigned>(digits[i] - '0') + 1 : 0);
    }
    return codes;
}

} // namespace

std::string EntryItemText(const StepRecord& record) {
    return FormatEntryDate(record, "Date: %Y.%m.%d") + ", steps: " + std::to_string(record.steps);
}

EntryTextKey EntryTextKeyOf(const StepRecord& record) {
    // The text is "Date: " YYYY "." MM "." DD ", steps: " N. Two texts that
    // differ in the year differ within its digits, or where the shorter year
    // has its "." and the longer a digit; months and days are two digits
    // each; after them both texts go on alike up to the counts' digits.
    EntryTextKey key;
    key.steps = DigitCodes(record.steps);
    if (std::optional<LocalDate> local = EntryLocalDate(record)) {
        // A record's fields are 16-bit and dates before 1601 read as 1970, so
        // the local year is never negative.
        const auto year = static_cast<std::uint64_t>(local->year);
        const auto month = static_cast<std::uint64_t>(local->month);
        const auto day = static_cast<std::uint64_t>(local->day);
        key.date = std::uint64_t{1} << 63 | DigitCodes(year) << 9 | month << 5 | day;
    }
    return key;
}
