#pragma once

#include <vector>

#include "DayTotals.h"
#include "ShownEntries.h"

// The day totals of the entries a window's list shows, as DayTotalsOf gives
// them for the same records read from the diary: the overview follows the
// list from what it holds, without reading the diary again.
std::vector<DayTotal> DayTotalsOfShown(const std::vector<ShownEntry>& rows);
