#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "CStepFile.h"
#include "CommandOutcome.h"
#include "DiaryFiles.h"

// What the dialog's commands do to the diary, kept free of windows so that the
// command line shares them and they are tested without a display. A command
// that fails leaves the files as they were and says why.

// What stood in the way of a command on the diary: its size, or the file call
// that failed and the system's error code.
CommandOutcome DiaryFailure(const CStepFile& file, const DiaryFiles& files, std::string_view call,
                            std::string_view consequence);

// The records the list shows, as a scan of the file gives them, or none when
// the file could not be opened (nor made, when missing); then `why`, if
// given, says so.
std::optional<std::vector<StepRecord>> LoadEntryRecords(const DiaryFiles& files,
                                                        CommandOutcome* why = nullptr);

// Appends an entry for that count and date with the next identifier; `seen`,
// if given, gets what the append did to the file, when the store could tell.
CommandOutcome AddEntry(const DiaryFiles& files, std::uint32_t steps,
                        std::chrono::year_month_day date,
                        std::optional<DiaryChangeSeen>* seen = nullptr);

// Removes the entry with that identifier, if the file still holds it; one
// that is gone already is no failure.
CommandOutcome DeleteEntry(const DiaryFiles& files, std::uint32_t identifier);

enum class DeleteOutcome {
    removed,
    changed, // the file no longer holds the record as listed: nothing removed
    failed,  // the file could not be read or replaced: nothing removed
};

// Removes the listed record if the file still holds it as it was listed;
// otherwise `why`, if given, says what stood in the way. `seen`, if given,
// gets what the removal did to the file, when the store could tell.
DeleteOutcome DeleteListedEntry(const DiaryFiles& files, const StepRecord& listed,
                                CommandOutcome* why = nullptr,
                                std::optional<DiaryChangeSeen>* seen = nullptr);

// Gives the listed entry that count and date in its place, keeping its
// identifier, if the file still holds it as listed: no other byte of the file
// changes. `seen`, if given, gets what the change did to the file.
CommandOutcome EditListedEntry(const DiaryFiles& files, const StepRecord& listed,
                               std::uint32_t steps, std::chrono::year_month_day date,
                               std::optional<DiaryChangeSeen>* seen = nullptr);
