#pragma once
#include <string_view>

#include "ByteSource.h"
#include "DailySteps.h"

// Whether a JSON file's start looks like Fitbit's per-minute samples.
bool LooksLikeFitbitSamples(std::string_view head);

// Adds a Fitbit steps file's per-minute samples to the dates they were walked
// on (local time, as written).
void ReadFitbitJson(ByteSource& source, DailySteps& daily);
