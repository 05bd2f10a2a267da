#include "ExportFile.h"

#include <algorithm>
#include <vector>

#include "AppleHealthXml.h"
#include "FitbitJson.h"
#include "GadgetbridgeDatabase.h"
#include "GarminJson.h"
#include "GoogleFitCsv.h"
#include "ImportError.h"
#include "InputFile.h"
#include "ProgressMeter.h"
#include "SamsungHealthCsv.h"
#include "ZipArchive.h"

namespace fs = std::filesystem;

const char kExportFormatNames[] =
    "Apple Health (export.zip or export.xml), Google Takeout Fit, Samsung Health, Fitbit, "
    "Gadgetbridge and Garmin Connect exports";

namespace {

enum class Format { AppleHealth, GoogleFit, SamsungHealth, Fitbit, Garmin };

const char* FormatName(Format format) {
    switch (format) {
    case Format::AppleHealth:
        return "Apple Health";
    case Format::GoogleFit:
        return "Google Fit";
    case Format::SamsungHealth:
        return "Samsung Health";
    case Format::Fitbit:
        return "Fitbit";
    case Format::Garmin:
        return "Garmin Connect";
    }
    return "";
}

bool IsZip(std::string_view head) {
    return head.starts_with("PK\x03\x04") || head.starts_with("PK\x05\x06");
}

bool IsAppleHealthXml(std::string_view head) {
    return head.find("<?xml") < 8 && head.find("<HealthData") != std::string_view::npos;
}

// An export folder or zip holds many files; a file counts by its content, but
// Fitbit writes every per-minute measure (calories, distance, ...) in the same
// shape, so there only the steps files are taken.
std::optional<Format> FormatOf(std::string_view head, std::string_view name, bool inExport) {
    if (IsAppleHealthXml(head))
        return Format::AppleHealth;
    if (IsSamsungStepDailyTrend(head))
        return Format::SamsungHealth;
    if (IsGoogleFitDailyHeader(head))
        return Format::GoogleFit;
    if (LooksLikeGarminDays(head))
        return Format::Garmin;
    if (LooksLikeFitbitSamples(head) && (!inExport || name.starts_with("steps-")))
        return Format::Fitbit;
    return std::nullopt;
}

// Gathers the days of one format from one file or several.
class Gathering {
public:
    std::optional<Format> format;
    DailySteps daily;
    StepsBySource bySource;

    void Read(Format as, ByteSource& source, const std::string& name) {
        daily.ReadingFile(name);
        try {
            switch (as) {
            case Format::AppleHealth:
                return ReadAppleHealthXml(source, bySource, daily);
            case Format::GoogleFit:
                return ReadGoogleFitCsv(source, daily);
            case Format::SamsungHealth:
                return ReadSamsungHealthCsv(source, daily);
            case Format::Fitbit:
                return ReadFitbitJson(source, daily);
            case Format::Garmin:
                return ReadGarminJson(source, daily);
            }
        } catch (const DamagedZip&) {
            throw;
        } catch (const ImportError& error) {
            throw ImportError(name.empty()
                                  ? error.what()
                                  : "holds \"" + name + "\", which " + std::string(error.what()));
        }
    }

    // The first file of an export's formats sets what the rest must be; a
    // file of another format is named among the rejected rows, not read, so
    // that no one takes its days for imported.
    void Offer(ByteSource& source, std::string_view name, const std::string& shownName) {
        PeekedSource peeked(source);
        std::optional<Format> found = FormatOf(peeked.Head(), name, true);
        if (!found)
            return;
        if (format && *found != *format) {
            daily.ReadingFile(shownName);
            daily.Reject(0, std::string("holds ") + FormatName(*found) +
                                " data, not read: only the " + FormatName(*format) +
                                " export beside it was read");
            return;
        }
        format = found;
        Read(*found, peeked, shownName);
    }

    std::optional<ImportedSteps> Finish() && {
        if (!format)
            return std::nullopt;
        bySource.AddTo(daily);
        return std::move(daily).Finish(FormatName(*format));
    }
};

std::optional<ImportedSteps> ReadZip(InputFile& file, ProgressMeter& meter) {
    ZipArchive zip(file, meter);
    Gathering gathering;
    while (zip.NextEntry()) {
        const std::string& name = zip.EntryName();
        gathering.Offer(zip, fs::path(name).filename().string(), name);
    }
    return std::move(gathering).Finish();
}

} // namespace

std::optional<ImportedSteps> ReadExportFolder(const fs::path& folder,
                                              const ImportProgress& progress) {
    std::vector<std::pair<fs::path, std::uint64_t>> files;
    std::uint64_t total = 0;
    std::error_code error;
    // Links to other folders are not followed: a loop of them would never end.
    for (fs::recursive_directory_iterator
             it(folder, fs::directory_options::skip_permission_denied, error),
         end;
         it != end; it.increment(error)) {
        if (error)
            break;
        std::error_code ignored;
        if (it->is_regular_file(ignored)) {
            files.emplace_back(it->path(), it->file_size(ignored));
            total += files.back().second;
        }
    }
    if (error)
        throw ImportError("is a folder that could not be read: " + error.message());
    std::ranges::sort(files);
    ProgressMeter meter(progress, total);
    Gathering gathering;
    std::uint64_t done = 0;
    for (const auto& [path, size] : files) {
        try {
            InputFile file(path);
            file.MeterInto(meter, done);
            gathering.Offer(file, path.filename().string(),
                            path.lexically_relative(folder).generic_string());
        } catch (const ImportError&) {
            // A file that went away or is not a regular file is no export's.
            if (gathering.format)
                throw;
        }
        done += size;
    }
    meter.Finish();
    return std::move(gathering).Finish();
}

std::optional<ImportedSteps> ReadExportFile(InputFile& file, PeekedSource& start,
                                            const ImportProgress& progress) {
    ProgressMeter meter(progress, file.Size());
    if (IsSqliteDatabase(start.Head())) {
        DailySteps daily;
        ReadGadgetbridgeDatabase(file, meter, daily);
        meter.Finish();
        return std::move(daily).Finish("Gadgetbridge");
    }
    if (IsZip(start.Head())) {
        auto steps = ReadZip(file, meter);
        meter.Finish();
        return steps;
    }
    std::optional<Format> format = FormatOf(start.Head(), "", false);
    if (!format)
        return std::nullopt;
    file.MeterInto(meter, 0);
    Gathering gathering;
    gathering.format = format;
    gathering.Read(*format, start, "");
    meter.Finish();
    return std::move(gathering).Finish();
}

std::optional<ImportedSteps> ReadExportFile(const fs::path& path, const ImportProgress& progress) {
    return NamingFile(OfferedFileName(path), [&]() -> std::optional<ImportedSteps> {
        std::error_code error;
        if (fs::is_directory(path, error))
            return ReadExportFolder(path, progress);
        InputFile file(path);
        PeekedSource start(file);
        return ReadExportFile(file, start, progress);
    });
}
