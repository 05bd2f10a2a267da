// What a user can paste into the two edits: very long texts, control
// characters, non-ASCII and broken UTF-8. The parsers give a sound count or
// none, and what reaches the diary is a whole record with that count.
#include <chrono>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "CStepFile.h"
#include "DiaryCommands.h"
#include "EditText.h"
#include "EntryItems.h"
#include "HtmlReport.h"
#include "TempDir.h"
#include "TestDiary.h"

using namespace std::chrono;

TEST(HostileTextTest, PastedTextsParseToASoundCountAndStoreNoNonsense) {
    ScopedTempDir dir;
    std::minstd_rand random(10000);
    std::vector<std::string> texts = {
        std::string(10000, '9'),
        std::string(10000, '\0'),
        "12" + std::string(9998, ','),
        std::string(5000, ' ') + "42",
        "\x01\x02\x1b[31m123\x7f",
        "\t\n\v\f\r77",
        "１２３", // full-width digits
        "٣٤٥",    // Arabic-Indic digits
        "12\xE2\x80\xAE"
        "34",                                // right-to-left override
        "\xff\xfe\xc3(\xa0\xa1\xe2\x28\xa1", // not UTF-8
        "-0",
        "+-5",
        "99999999999999999999999999999999",
        "Schritte: 1.234",
        "🚶 5000",
    };
    for (int i = 0; i < 40; ++i) {
        std::string noise(10000, '\0');
        for (char& c : noise)
            c = static_cast<char>(random() % 256);
        texts.push_back(noise);
    }

    for (const std::string& text : texts) {
        const std::optional<std::uint32_t> steps = ParseStepsText(text);
        // Only the first characters of a long paste count; none may become the end marker.
        if (steps) {
            EXPECT_NE(*steps, kEndMarker);
            EXPECT_TRUE(AddEntry(HereFiles(), *steps, 2025y / 6 / 1d));
            CStepFile file(HereFiles());
            StepRecord newest;
            file.ReadLast(newest);
            EXPECT_EQ(newest.steps, *steps);
            EXPECT_EQ(newest.year, 2025);
        }
        const std::uint32_t length = ParseStepLength(text);
        EXPECT_FALSE(FormatHtmlReport({}, length).empty());
    }
    EXPECT_EQ(ParseStepsText(std::string(10000, '9')), std::nullopt);
    EXPECT_EQ(ParseStepLength(std::string(10000, '9')), UINT32_MAX);
    EXPECT_EQ(ParseStepsText(std::string(5000, ' ') + "42"), 0u);
    EXPECT_EQ(ReadFileBytes("data.steps").size() % kStepRecordSize, 0u);
    ASSERT_TRUE(LoadEntryItems(HereFiles()).has_value());
}
