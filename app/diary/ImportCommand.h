#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "CommandOutcome.h"
#include "DiaryChangeSeen.h"
#include "DiaryFiles.h"
#include "ImportMerge.h"
#include "ImportedSteps.h"

// Importing a file into the diary, in two steps the window shows between:
// reading the file and working out what it would change, which changes
// nothing, then the import itself.

struct ImportPreview {
    ImportedSteps steps;
    // What the import would do with the diary as it is now, conflicts kept.
    ImportMerge merge;
};

// Reads the file offered for import. None when it cannot be imported or the
// progress callback cancelled; then `why` says so.
std::optional<ImportedSteps> ReadOfferedFile(const std::filesystem::path& offered,
                                             const ImportProgress& progress, CommandOutcome& why);

// Reads the file offered for import and merges it with the diary in memory.
// None when the file cannot be imported, the diary cannot be read or the
// progress callback cancelled; then `why` says so.
std::optional<ImportPreview> PreviewImport(const DiaryFiles& files,
                                           const std::filesystem::path& offered,
                                           const ImportProgress& progress, CommandOutcome& why);

// Imports the rows in one replacement of the diary. The merge is worked out
// again under the diary's lock, so that what another window changed since the
// preview is merged too and nothing is imported twice. After a preview,
// `shown` holds the conflicts it showed: the file's entries replace only
// those, so that a date another window changed meanwhile keeps what the
// diary has. `done`, if given, gets the merge carried out, and `seen` what it
// did to the file.
CommandOutcome ImportRows(const DiaryFiles& files, const std::vector<ImportedRow>& rows,
                          ConflictChoice choice, ImportMerge* done = nullptr,
                          const std::vector<DateConflict>* shown = nullptr,
                          std::optional<DiaryChangeSeen>* seen = nullptr);

// The counts of an import in one line: "added 3, unchanged 1, conflicts 2
// kept, rejected 0"; conflicts the file's entries replaced are "replaced", and
// when some of them were not, "conflicts 2 replaced, 1 kept".
std::string DescribeImport(const ImportMerge& merge, ConflictChoice choice, std::size_t rejected);
