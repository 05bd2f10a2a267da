#include "ImportFile.h"

#include <string>

#include "ExportFile.h"
#include "ImportError.h"
#include "InputFile.h"
#include "ProgressMeter.h"
#include "StepsCsv.h"

namespace fs = std::filesystem;

namespace {

// A refusal that tells what Trekline would have taken instead.
ImportError NotImportable(std::string_view why) {
    return ImportError(std::string(why) +
                       ": Trekline imports CSV files with a date and a steps column, and " +
                       kExportFormatNames + ".");
}

// The export or CSV file at `path`, one open and one look at its start
// telling which; its refusals leave naming the file to the caller.
ImportedSteps ReadOffered(const fs::path& path, const ImportProgress& progress) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        if (std::optional<ImportedSteps> steps = ReadExportFolder(path, progress))
            return std::move(*steps);
        throw NotImportable("is a folder without any export Trekline reads");
    }
    InputFile file(path);
    PeekedSource start(file);
    if (std::optional<ImportedSteps> steps = ReadExportFile(file, start, progress))
        return std::move(*steps);
    if (start.Head().empty())
        throw ImportError("is empty.");
    if (start.Head().find('\0') != std::string::npos)
        throw NotImportable("is not a text file");
    if (!IsStepsCsv(start.Head()))
        throw NotImportable("is not a file of steps Trekline can read");
    ProgressMeter meter(progress, file.Size());
    file.MeterInto(meter, 0);
    ImportedSteps steps = ReadStepsCsv(start, file.Size());
    meter.Finish();
    return steps;
}

} // namespace

ImportedSteps ReadImportFile(const fs::path& path, const ImportProgress& progress) {
    ImportedSteps steps =
        NamingFile(OfferedFileName(path), [&] { return ReadOffered(path, progress); });
    if (steps.rows.empty()) {
        std::string why = OfferedFileName(path) + " holds no step counts that can be imported";
        if (!steps.rejected.empty()) {
            const RejectedRow& first = steps.rejected.front();
            why += " (" + (first.line > 0 ? "line " + std::to_string(first.line) + ": " : "") +
                   first.reason + ")";
        }
        throw ImportError(why + ".");
    }
    return steps;
}
