// The values every reader finds in files, read one way with what each reader's
// files may write.
#include <optional>

#include <gtest/gtest.h>

#include "ExportValues.h"

using std::chrono::year_month_day;

TEST(ExportValuesTest, ACountIsReadAsItsFilesWriteIt) {
    const struct {
        const char* text;
        std::optional<std::uint64_t> decimal; // an export's
        std::optional<std::uint64_t> grouped; // a CSV file's
    } cases[] = {
        {" 12345\t", 12345, 12345},           {"1234.5", 1235, std::nullopt},
        {"12,345", std::nullopt, 12345},      {"1,234,567", std::nullopt, 1234567},
        {"1,23", std::nullopt, std::nullopt}, {"-1", std::nullopt, std::nullopt},
        {"+1", std::nullopt, std::nullopt},   {"", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseStepCount(c.text), c.decimal) << c.text;
        EXPECT_EQ(ParseStepCount(c.text, CountText::Grouped), c.grouped) << c.text;
    }
}

TEST(ExportValuesTest, ADateIsTheTextsStartWithTheSeparatorsItsFilesUse) {
    const year_month_day day{std::chrono::year(2024), std::chrono::month(2), std::chrono::day(29)};
    const struct {
        const char* text;
        const char* separators;
        std::optional<year_month_day> date;
    } cases[] = {
        {"2024-02-29T08:00:00", "-", day}, {"2024/02/29", "-", std::nullopt},
        {"2024/02/29", "-/.", day},        {"2024.02-29", "-/.", std::nullopt},
        {"2023-02-29", "-", std::nullopt}, {"2024-2-029", "-", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingIsoDate(c.text, c.separators), c.date) << c.text;
}
