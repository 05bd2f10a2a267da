#pragma once
#include <string_view>

#include "ByteSource.h"
#include "DailySteps.h"

// Whether a CSV file's first line is the header of Google Fit's daily file
// (a Date and a Step count column), not its per-day interval files.
bool IsGoogleFitDailyHeader(std::string_view head);

// Adds the days of a Google Fit daily activity file; an empty step cell is a
// day without data, not a day of no steps.
void ReadGoogleFitCsv(ByteSource& source, DailySteps& daily);
