#include "ReportCommand.h"

#include "HtmlReport.h"
#include "StepReport.h"

CommandOutcome SaveReport(const DiaryFiles& files, const std::vector<std::uint32_t>& identifiers,
                          std::uint32_t stepLength, bool drawValues, int bitsPerPixel) {
    if (identifiers.empty())
        return {"The diary is empty: there is nothing to report.", "report of no entries"};
    try {
        const ReportData data = LoadReportData(files, identifiers);
        if (data.tooLarge)
            return TooLargeFailure(files, "no report was made");
        if (!data.complete)
            return FileFailure(files, files.steps, data.failure.Error(), "reading",
                               "no report was made");
        if (data.entries.empty())
            return {"The listed entries are no longer in data.steps: no report was made.",
                    "report of entries gone from " + files.steps.string()};
        if (const FileStatus saved = SaveChartPicture(files, data, drawValues, bitsPerPixel);
            !saved)
            return FileFailure(files, files.chart, saved.Error(), "writing", "no report was made");
        if (const FileStatus written = WriteHtmlReportFile(files.page, data.entries, stepLength);
            !written)
            return FileFailure(files, files.page, written.Error(), "writing",
                               "the chart was saved, the page was not");
    } catch (...) {
        // Whatever was not committed was not replaced.
        return ExceptionFailure("no report was made");
    }
    return {};
}
