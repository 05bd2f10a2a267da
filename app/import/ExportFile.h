#pragma once
#include <filesystem>
#include <optional>

#include "ImportedSteps.h"

class InputFile;
class PeekedSource;

// Reads a phone's or watch's export (a file, a zip, or an unpacked folder),
// telling its format by its content, into one total per calendar date. Gives
// nothing for a file that is none of these exports; throws ImportError for
// one that is but cannot be read, ImportCancelled when progress says stop.
std::optional<ImportedSteps> ReadExportFile(const std::filesystem::path& path,
                                            const ImportProgress& progress);

// The same for a folder, and for an opened file: `start` reads it from its
// start, its head peeked, while a zip or a database reads `file` where it
// will. Their refusals leave naming the file to the caller.
std::optional<ImportedSteps> ReadExportFolder(const std::filesystem::path& folder,
                                              const ImportProgress& progress);
std::optional<ImportedSteps> ReadExportFile(InputFile& file, PeekedSource& start,
                                            const ImportProgress& progress);

// The exports ReadExportFile reads, for the message that refuses another file.
extern const char kExportFormatNames[];
