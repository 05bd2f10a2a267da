#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>

#include "CommandLine.h"

// Prints the figures of the diary where the window would keep it (see
// StepFigures.h), with no window and without changing the diary, and gives
// the exit status: 0 when printed, 1 when the diary could not be read or the
// output written. Nothing for a command line that does not ask for them.
//
// Without --goal the goal is the one the user's settings keep, which only the
// caller can read: `rememberedGoal` is asked for it, and only then.
std::optional<int> RunSummaryCommand(const CommandLine& commandLine,
                                     const std::function<std::uint32_t()>& rememberedGoal,
                                     std::ostream& out, std::ostream& err);
