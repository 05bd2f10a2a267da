#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "StepRecord.h"

// Visits the records (newest first, as the store scans them) in the order
// the entry list shows them: by list text, entries of equal text newest
// first. No text is formatted, and besides the records themselves at most
// 16 bytes an entry are held; for a diary in date order, only 16 bytes for
// each entry of one date.
void ForEachInListOrder(const std::vector<StepRecord>& newestFirst,
                        const std::function<void(const StepRecord&)>& visit);
