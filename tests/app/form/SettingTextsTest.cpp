#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "EditText.h"
#include "SettingTexts.h"

TEST(SettingTextsTest, TheStepLengthKeptIsWhatTheEditMeant) {
    for (const char* edit : {"75", "", "007", "12abc", "99999999999", "-1", " 3"})
        EXPECT_EQ(ReadStepLengthSetting(StepLengthSetting(edit)), ParseStepLength(edit)) << edit;
}

TEST(SettingTextsTest, AKeptTextTheWindowDidNotWriteGivesNoValue) {
    const std::vector<std::pair<std::string, std::optional<std::uint32_t>>> lengths = {
        {"75", 75u},
        {"0", 0u},
        {"4294967295", 4294967295u},
        {"4294967296", std::nullopt},
        {"-5", std::nullopt},
        {" 75", std::nullopt},
        {"075", std::nullopt},
        {"75cm", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [kept, length] : lengths)
        EXPECT_EQ(ReadStepLengthSetting(kept), length) << kept;

    for (const auto& [kept, ticked] : std::vector<std::pair<std::string, std::optional<bool>>>{
             {"1", true}, {"0", false}, {"true", std::nullopt}})
        EXPECT_EQ(ReadFlagSetting(kept), ticked) << kept;
}
