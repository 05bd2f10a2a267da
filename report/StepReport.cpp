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
// The depth of a true-colour display, which the chart has always been drawn at.
constexpr int kChartBitsPerPixel = 32;
constexpr int kLabelCellHeight = 12;

} // namespace

ReportData LoadReportData(const std::vector<std::uint32_t>& identifiers) {
    ReportData data;
    CStepFile file("data.steps");
    std::vector<StepRecord> records = file.ReadAll();
    data.complete = file.IsOk();

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

void SaveChartPicture(const ReportData& data, bool drawValues) {
    Canvas canvas(kChartWidth, kChartHeight, kChartBitsPerPixel);
    std::unique_ptr<LabelFont> font = LabelFont::Create("Verdana", kLabelCellHeight);
    DrawStepChart(canvas, font.get(), data.entries, data.maximum, drawValues);
    WriteBitmapFile("data_steps.bmp", canvas);
}
