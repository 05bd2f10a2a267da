#pragma once

#include <filesystem>
#include <iosfwd>

#include "CommandOutcome.h"
#include "DiaryFiles.h"

// The diary as CSV, for spreadsheets and other trackers: UTF-8, CRLF line
// ends, a header "date,steps", then one line per entry in the list's order,
// the date as the record stores it ("2006-05-05,12"). The text is written as
// it is made, so an export holds the diary's records and little more.

// Writes the diary's CSV to `target`, replacing what was there only once the
// whole file is on disk.
CommandOutcome ExportCsv(const DiaryFiles& files, const std::filesystem::path& target);

// Writes the diary's CSV to a stream (standard output).
CommandOutcome ExportCsv(const DiaryFiles& files, std::ostream& out);
