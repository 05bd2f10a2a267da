#pragma once
#include <string_view>

#include "ByteSource.h"
#include "DailySteps.h"

// Whether a JSON file's start looks like Garmin Connect's daily summaries.
bool LooksLikeGarminDays(std::string_view head);

// Adds the days of a Garmin Connect daily summary (UDS) file.
void ReadGarminJson(ByteSource& source, DailySteps& daily);
