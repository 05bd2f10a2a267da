#pragma once

#include <cstdint>
#include <vector>

#include "CommandOutcome.h"
#include "DiaryFiles.h"

// Saves the report of the listed entries beside the diary: the chart picture
// at that depth, then the page for that step length. Either both are new or
// the failure says which was not: a page is never written beside a picture
// that is not its own, and an unreadable diary replaces neither.
CommandOutcome SaveReport(const DiaryFiles& files, const std::vector<std::uint32_t>& identifiers,
                          std::uint32_t stepLength, bool drawValues, int bitsPerPixel);
