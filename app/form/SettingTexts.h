#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The user's settings are kept as texts in a file anyone can edit; these
// make the texts from the window's values and read them back, so that a
// kept text that the window did not write gives the default instead.

// The step length a first start shows, in centimetres.
inline constexpr std::uint32_t kDefaultStepLength = 100;

// What keeps the step length the edit's text stands for: its value as
// ParseStepLength reads it, in digits. An edit the user cleared keeps "0",
// the length the report takes from it.
std::string StepLengthSetting(std::string_view editText);

// The step length a kept text stands for, read as the edit's text is: none
// for any text StepLengthSetting does not make (blanks, a sign, leading
// zeros, letters, more than 32 bits hold).
std::optional<std::uint32_t> ReadStepLengthSetting(std::string_view kept);

// "1" for a ticked box, "0" for one left empty.
std::string_view FlagSetting(bool ticked);
// The box a kept text stands for; none for any other text.
std::optional<bool> ReadFlagSetting(std::string_view kept);
