#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "EditText.h"

TEST(EditTextTest, ReadsLikeStrtoulForPlainTexts) {
    EXPECT_EQ(ParseStepsText(""), 0u);
    EXPECT_EQ(ParseStepsText("abc"), 0u);
    EXPECT_EQ(ParseStepsText("12abc"), 12u);
    EXPECT_EQ(ParseStepsText("  \t 950"), 950u);
    EXPECT_EQ(ParseStepsText("+7"), 7u);
    EXPECT_EQ(ParseStepsText("007"), 7u);
    EXPECT_EQ(ParseStepsText("1.5"), 1u);
    EXPECT_EQ(ParseStepsText("4294967294"), 4294967294u);
}

TEST(EditTextTest, GroupedDigitsCountWithoutTheirSeparators) {
    EXPECT_EQ(ParseStepsText("1,234"), 1234u);
    EXPECT_EQ(ParseStepsText("1.234.567"), 1234567u);
    EXPECT_EQ(ParseStepsText("1 234"), 1234u);
    EXPECT_EQ(ParseStepsText("12'345"), 12345u);
    EXPECT_EQ(ParseStepsText("1\xC2\xA0"
                             "234"),
              1234u);
    EXPECT_EQ(ParseStepsText("64\xE2\x80\xAF"
                             "000\xE2\x80\xAF"
                             "000"),
              64000000u);
    EXPECT_EQ(ParseStepsText("1,234 steps"), 1234u);
    // Only groups of exactly three digits, all with the same separator.
    EXPECT_EQ(ParseStepsText("1,23"), 1u);
    EXPECT_EQ(ParseStepsText("1,2345"), 1u);
    EXPECT_EQ(ParseStepsText("1,234.567"), 1234u);
    EXPECT_EQ(ParseStepsText("1234,567"), 1234u);
    EXPECT_EQ(ParseStepsText("4,294,967,294"), 4294967294u);
}

TEST(EditTextTest, CountsThatCannotBeStoredGiveNothing) {
    EXPECT_EQ(ParseStepsText("-1"), std::nullopt);
    EXPECT_EQ(ParseStepsText(" -12"), std::nullopt);
    EXPECT_EQ(ParseStepsText("-"), std::nullopt);
    EXPECT_EQ(ParseStepsText("4294967295"), std::nullopt);
    EXPECT_EQ(ParseStepsText("4,294,967,295"), std::nullopt);
    EXPECT_EQ(ParseStepsText(std::string(29, '9')), std::nullopt);
}

TEST(EditTextTest, OnlyTheFirst29CharactersCount) {
    EXPECT_EQ(ParseStepsText(std::string(28, ' ') + "75"), 7u);
    EXPECT_EQ(ParseStepsText(std::string(29, ' ') + "5"), 0u);
    EXPECT_EQ(ParseStepsText(std::string(25, '0') + "1234" + "5678"), 1234u);
    EXPECT_EQ(ParseStepsText(std::string(21, ' ') + "1,234,567"), 1234u);
    // Characters, not bytes: each no-break space is one.
    EXPECT_EQ(ParseStepsText(std::string(20, ' ') + "1\xC2\xA0"
                                                    "234\xC2\xA0"
                                                    "567"),
              1234567u);
}

TEST(EditTextTest, StepLengthIsReadAsStrtoulReadsIt) {
    EXPECT_EQ(ParseStepLength("100"), 100u);
    EXPECT_EQ(ParseStepLength(""), 0u);
    EXPECT_EQ(ParseStepLength("abc"), 0u);
    EXPECT_EQ(ParseStepLength("12abc"), 12u);
    EXPECT_EQ(ParseStepLength("  \t+75"), 75u);
    EXPECT_EQ(ParseStepLength("-1"), 4294967295u);
    EXPECT_EQ(ParseStepLength("-"), 0u);
    EXPECT_EQ(ParseStepLength(std::string(29, '9')), 4294967295u);
    EXPECT_EQ(ParseStepLength("4294967296"), 4294967295u);
    // Only 29 characters are read: the thirtieth digit does not count.
    EXPECT_EQ(ParseStepLength(std::string(28, '0') + "75"), 7u);
}

TEST(EditTextTest, OnlyWholeIsoDatesOfRealDaysAreDates) {
    using namespace std::chrono;
    const std::vector<std::pair<const char*, std::optional<year_month_day>>> cases = {
        {"2026-11-30", 2026y / November / 30},
        {" 0001-01-01 ", 1y / January / 1},
        {"2024-02-29", 2024y / February / 29},
        {"2023-02-29", std::nullopt},
        {"2026-13-01", std::nullopt},
        {"2026-11-30x", std::nullopt},
        {"20261130", std::nullopt},
        {"11/30/2026", std::nullopt},
        {"2026-1-30", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, date] : cases)
        EXPECT_EQ(ParseIsoDateText(text), date) << text;
}
