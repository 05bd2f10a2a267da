#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "CStepFile.h"
#include "ImportedSteps.h"

// How an import meets the diary, one calendar date at a time: a date the
// diary has no entry for gets the file's rows as entries; a date whose
// entries add up to the file's total for it stays as it is, so that a second
// import of the same file changes nothing; any other date is a conflict,
// where the diary's entries stay unless the user chose the file's.

enum class ConflictChoice {
    kKeepDiary,
    kUseFile,
};

struct DateConflict {
    std::chrono::year_month_day date;
    std::uint64_t diaryTotal = 0;
    std::uint64_t fileTotal = 0;

    bool operator==(const DateConflict&) const = default;
};

struct ImportMerge {
    DiaryEdit edit;                      // what it does to the diary's records
    std::size_t added = 0;               // entries added for dates the diary had none for
    std::size_t unchanged = 0;           // dates whose totals already agree
    std::vector<DateConflict> conflicts; // in date order
    std::size_t replaced = 0; // conflicts where the file's entries took the diary's place
};

// The merge of the file's rows into the records (newest first, as the store
// scans them). The new records come in date order, a date's rows in the
// file's order.
// With the file's entries chosen for conflicts, `agreed` (in date order), when
// given, holds the only conflicts they replace: those the user was shown, as
// they were shown. Any other conflict keeps the diary's entries.
ImportMerge MergeImport(const std::vector<PlacedRecord>& newestFirst,
                        const std::vector<ImportedRow>& rows, ConflictChoice choice,
                        const std::vector<DateConflict>* agreed = nullptr);
