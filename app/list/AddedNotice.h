#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ShownEntries.h"
#include "StepRecord.h"

// The steps of every row dated as the record's list text dates it, the
// record's own among them once it is shown. Summed in 64 bits: a day may
// hold many entries of up to 32 bits each.
std::uint64_t DayTotal(const std::vector<ShownEntry>& rows, const StepRecord& record);

// What the window says once an Add has shown its entry among the rows:
// "Added 4,321 steps on 2026.12.08: 9,321 that day", the date as the list
// writes it and the counts grouped by thousands, in every locale alike.
std::string AddedNotice(const std::vector<ShownEntry>& rows, const StepRecord& added);
