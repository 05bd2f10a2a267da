#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class wxConfigBase;

// What the user set in the window and finds again at the next start, kept
// in the user's settings (on Linux $XDG_CONFIG_HOME/trekline.conf, on
// Windows the user's registry): the user's, not the diary's, so every diary
// shares them. Settings that cannot be read give the first start's values;
// settings that cannot be kept are let go without a word, as the window
// works the same without them.
class Settings {
public:
    // The names the settings are kept under.
    static constexpr const char* kStepLengthKey = "StepLength";
    static constexpr const char* kChartValuesKey = "DrawValuesInGraph";
    static constexpr const char* kDailyGoalKey = "DailyGoal";

    // Reads the user's settings as they are now.
    Settings();
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The step length edit's text: the length kept, in digits, or "100".
    std::string StepLengthText() const;
    // Whether "Draw values in graph" is ticked; not at first.
    bool ChartValues() const;
    // The daily goal kept, or kDefaultDailyGoal when none is or it is no goal.
    std::uint32_t DailyGoal() const;

    // Keeps the length the step length edit's text stands for.
    void KeepStepLength(std::string_view editText);
    void KeepChartValues(bool ticked);
    // Keeps a goal ParseDailyGoal accepted.
    void KeepDailyGoal(std::uint32_t goal);

private:
    std::string Kept(const char* key) const;
    void Keep(const char* key, std::string_view text);

    std::unique_ptr<wxConfigBase> config_;
};
