#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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
    // False for a change that removed and added are not the whole of (an
    // import, an edit in place, bytes put back): a window reads the list again.
    bool recordsTold = true;
    // The bytes the change replaced and what it put in their place, when
    // asked for (CStepFile::KeepChangedBytes): the file before is the file
    // after with `inserted` at `at` put back to `removed`.
    struct Bytes {
        std::uint64_t at = 0;
        std::vector<std::uint8_t> removed;
        std::vector<std::uint8_t> inserted;
    };
    std::optional<Bytes> bytes;
};
