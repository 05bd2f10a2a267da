#include "ImportFile.h"

#include <string>

#include "ExportFile.h"
#include "ImportError.h"
#include "InputFile.h"
#include "ProgressMeter.h"
#include "StepsCsv.h"

namespace fs = std::filesystem;

namespace {

// Enough of a file's start to tell a CSV file's layout.
constexpr std::size_t kHeadSize = 64 * 1024;

// A refusal that tells what Trekline would have taken instead.
ImportError NotImportable(const fs::path& path, std::string_view why) {
    return ImportError(OfferedFileName(path) + " " + std::string(why) +
                       ": Trekline imports CSV files with a date and a steps column, and " +
                       kExportFormatNames + ".");
}

ImportedSteps ReadCsvFile(const fs::path& path, const ImportProgress& progress) {
    std::error_code error;
    if (fs::is_directory(path, error))
        throw NotImportable(path, "is a folder without any export Trekline reads");
    InputFile file = [&] {
        try {
            return InputFile(path);
        } catch (const ImportError& refused) {
            throw ImportError(OfferedFileName(path) + " " + refused.what());
        }
    }();
    const std::string head = file.Head(kHeadSize);
    if (head.empty())
        throw ImportError(OfferedFileName(path) + " is empty.");
    if (head.find('\0') != std::string::npos)
        throw NotImportable(path, "is not a text file");
    if (!IsStepsCsv(head))
        throw NotImportable(path, "is not a file of steps Trekline can read");
    ProgressMeter meter(progress, file.Size());
    file.MeterInto(meter, 0);
    try {
        ImportedSteps steps = ReadStepsCsv(file, file.Size());
        meter.Finish();
        return steps;
    } catch (const ImportError& refused) {
        throw ImportError(OfferedFileName(path) + " " + refused.what());
    }
}

} // namespace

ImportedSteps ReadImportFile(const fs::path& path, const ImportProgress& progress) {
    std::optional<ImportedSteps> steps = ReadExportFile(path, progress);
    if (!steps)
        steps = ReadCsvFile(path, progress);
    if (steps->rows.empty()) {
        std::string why = OfferedFileName(path) + " holds no step counts that can be imported";
        if (!steps->rejected.empty()) {
            const RejectedRow& first = steps->rejected.front();
            why += " (" + (first.line > 0 ? "line " + std::to_string(first.line) + ": " : "") +
                   first.reason + ")";
        }
        throw ImportError(why + ".");
    }
    return std::move(*steps);
}
