#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "ShownEntries.h"
#include "StepRecord.h"

// Where a window finds a row it wants to select or show, among the rows as
// BuildShownEntries orders them.

// The row of exactly this record, identifier and all; the first of them
// should the diary hold it twice. None when no row shows it.
std::optional<std::size_t> RowOfRecord(const std::vector<ShownEntry>& rows,
                                       const StepRecord& record);

// The last row of the latest date any row shows. Rows are in text order, in
// which a year of five digits comes before one of four, so the latest date
// is not always at the end. None when no row has a date.
std::optional<std::size_t> RowOfLatestDate(const std::vector<ShownEntry>& rows);
