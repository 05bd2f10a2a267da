#include "SettingTexts.h"

#include "EditText.h"

std::string StepLengthSetting(std::string_view editText) {
    return std::to_string(ParseStepLength(editText));
}

std::optional<std::uint32_t> ReadStepLengthSetting(std::string_view kept) {
    const std::uint32_t length = ParseStepLength(kept);
    // The reader is lenient with what a user types; a kept text must be
    // exactly what was written, or a huge or signed number would come back
    // as some other length.
    if (StepLengthSetting(kept) != kept)
        return std::nullopt;
    return length;
}

std::string_view FlagSetting(bool ticked) {
    return ticked ? "1" : "0";
}

std::optional<bool> ReadFlagSetting(std::string_view kept) {
    if (kept == FlagSetting(true))
        return true;
    if (kept == FlagSetting(false))
        return false;
    return std::nullopt;
}
