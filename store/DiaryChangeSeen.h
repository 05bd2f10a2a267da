#pragma once

#include <cstddef>
#include <vector>

#include "FileIdentity.h"
#include "StepRecord.h"

// What one change by this process did to the diary, as seen while it held the
// diary's lock: the file just before the change and just after it, the
// records it removed, by their places in a backwards scan of the file before,
// and the records it appended, newest first. A window that last read exactly
// the file `before` can follow the change without reading the diary again.
struct DiaryChangeSeen {
    FileIdentity before;
    FileIdentity after;
    std::vector<std::size_t> removed;
    std::vector<StepRecord> added;
};
