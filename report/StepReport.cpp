#include "StepReport.h"

#include <algorithm>
#include <unordered_map>

#include "BitmapFile.h"
#include "CStepFile.h"
#include "LabelFont.h"
#include "StepChart.h"

namespace {

constexpr int kChartWidth = 500;
constexpr int kChartHeight = 300;
constexpr int kLabelCellHeight = 12;

} // namespace

int DisplayBitsPerPixel(int colourDepth) {
    if (colourDepth <= 0)
        return kTrueColourBitsPerPixel;
    for (const int bits : {1, 4, 8, 16})
        if (colourDepth <= bits)
            return bits;
    return kTrueColourBitsPerPixel;
}

ReportData LoadReportData(const DiaryFiles& files, const std::vector<std::uint32_t>& identifiers) {
    ReportData data;
    CStepFile file(files);
    std::vector<StepRecord> records = file.ReadAll();
    data.complete = file.IsOk();
    data.tooLarge = file.IsTooLarge();
    data.failure = file.Failure();

    // Records come newest first; the first one seen for an identifier is the
    // one a lookup by identifier finds.
    std::unordered_map<std::uint32_t, const StepRecord*> byIdentifier;
    byIdentifier.reserve(records.size());
    for (const StepRecord& record : records) {
        byIdentifier.try_emplace(record.identifier, &record);
        data.maximum = std::max(data.maximum, record.steps);
    }
    data.entries.reserve(identifiers.size());
    for (std::uint32_t id : identifiers)
        if (auto found = byIdentifier.find(id); found != byIdentifier.end())
            data.entries.push_back(*found->second);
    return data;
}

FileStatus SaveChartPicture(const DiaryFiles& files, const ReportData& data, bool drawValues,
                            int bitsPerPixel) {
    Canvas canvas(kChartWidth, kChartHeight, bitsPerPixel);
    std::unique_ptr<LabelFont> font = LabelFont::Create("Verdana", kLabelCellHeight);
    DrawStepChart(canvas, font.get(), data.entries, data.maximum, drawValues);
    return WriteBitmapFile(reinterpret_cast<const char*>(files.chart.u8string().c_str()), canvas);
}
