#pragma once
#include <filesystem>

#include "ImportedSteps.h"

// Reads a file offered for import, telling its kind by its content: a phone's
// or watch's export (a file, a zip or an unpacked folder), or a CSV file of
// dates and step counts. Throws ImportError, its message naming the file and
// the reason, for a file that is neither or holds no row that can be read;
// ImportCancelled when progress says stop.
ImportedSteps ReadImportFile(const std::filesystem::path& path, const ImportProgress& progress);
