#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "DiaryFiles.h"
#include "EntryList.h"

// What the dialog's commands do to the diary, kept free of windows so that the
// command line shares them and they are tested without a display.

// The list's items from the file, or none when the file cannot be opened.
std::optional<std::vector<EntryItem>> LoadEntryItems(const DiaryFiles& files);

// Appends an entry for that count and date with the next identifier. False
// when the file could not be opened or written; it is then as it was.
bool AddEntry(const DiaryFiles& files, std::uint32_t steps, std::chrono::year_month_day date);

// Removes the entry with that identifier, if the file still holds it.
void DeleteEntry(const DiaryFiles& files, std::uint32_t identifier);

enum class DeleteOutcome {
    removed,
    changed, // the file no longer holds the record as listed: nothing removed
    failed,  // the file could not be read or replaced: nothing removed
};

// Removes the listed record if the file still holds it as it was listed.
DeleteOutcome DeleteListedEntry(const DiaryFiles& files, const StepRecord& listed);
