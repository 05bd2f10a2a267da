#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "CommandOutcome.h"
#include "DiaryFiles.h"
#include "EntryList.h"

// The diary as CSV, for spreadsheets and other trackers: UTF-8, CRLF line
// ends, a header "date,steps", then one line per entry in the list's order,
// the date as the record stores it ("2006-05-05,12").
std::string DiaryCsv(const std::vector<EntryItem>& items);

// Writes the diary's CSV to `target`, replacing what was there only once the
// whole file is on disk.
CommandOutcome ExportCsv(const DiaryFiles& files, const std::filesystem::path& target);

// Writes the diary's CSV to a stream (standard output).
CommandOutcome ExportCsv(const DiaryFiles& files, std::ostream& out);
