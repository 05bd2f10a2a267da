#pragma once
#include <string_view>

#include "ByteSource.h"
#include "DailySteps.h"

// Whether a file starts with the marker line of Samsung Health's daily step file.
bool IsSamsungStepDailyTrend(std::string_view head);

// Adds the days of a Samsung Health step_daily_trend file: only its rows of
// the total over all devices, each naming its calendar date.
void ReadSamsungHealthCsv(ByteSource& source, DailySteps& daily);
