#pragma once
#include <cstdint>
#include <string_view>

#include "ByteSource.h"
#include "ImportedSteps.h"

// CSV files of dates and step counts: Trekline's own export and what other
// trackers and spreadsheets write. The delimiter (comma, semicolon or tab) is
// told from the first line; that line is a header naming a date column
// ("date", "day") and a steps column ("steps", "step count", "count"), or,
// without a header, every line is "date,steps". Dates are YYYY-MM-DD (or with
// '/' or '.'); counts are whole numbers, with ',' grouping thousands.

// Whether a file that starts so is such a CSV file.
bool IsStepsCsv(std::string_view head);

// One row per line that could be read, in the file's order; the others are
// rejected with their line numbers. `size` is the file's, for making room.
// Throws ImportError for a file that is not text.
ImportedSteps ReadStepsCsv(ByteSource& source, std::uint64_t size);
