#include "DailySteps.h"

#include <algorithm>
#include <limits>

#include "ExportValues.h"
#include "ImportError.h"
#include "StepRecord.h"

namespace {
// Enough to show the user what is wrong with a file without keeping every
// line of a broken one.
// Beyond any real export (ten sources over a century is 365,000 cells);
// keeps a hostile file from growing the table without end.
constexpr std::size_t kMaxSources = 1000;
constexpr std::size_t kMaxCells = 2'000'000;

} // namespace

void DailySteps::Add(std::chrono::sys_days date, std::uint64_t steps) {
    std::uint64_t& total = totals_[date];
    total = SaturatingAdd(total, steps);
}

void DailySteps::KeepLarger(std::chrono::sys_days date, std::uint64_t steps) {
    std::uint64_t& total = totals_[date];
    total = std::max(total, steps);
}

void DailySteps::Reject(std::size_t line, std::string reason) {
    steps_.Reject(line, [&] { return file_.empty() ? std::move(reason) : file_ + ": " + reason; });
}

ImportedSteps DailySteps::Finish(std::string format) && {
    ImportedSteps steps = std::move(steps_);
    steps.format = std::move(format);
    file_.clear();
    for (const auto& day : totals_) {
        const std::chrono::year_month_day ymd(day.first);
        const std::uint64_t total = day.second;
        if (total >= kEndMarker)
            steps.Reject(0, [&] {
                return IsoDateText(ymd) + ": " + std::to_string(total) +
                       " steps, more than a diary entry holds";
            });
        else
            steps.rows.push_back({ymd, static_cast<std::uint32_t>(total)});
    }
    return steps;
}

std::uint64_t& StepsBySource::Cell(std::uint32_t source, std::chrono::sys_days date) {
    const auto day = static_cast<std::uint32_t>(date.time_since_epoch().count());
    auto [cell, added] = cells_.try_emplace(std::uint64_t{source} << 32 | day, 0);
    if (added && cells_.size() > kMaxCells)
        throw ImportError("holds steps for more sources and days than any export does");
    return cell->second;
}

void StepsBySource::Add(std::string_view source, std::chrono::sys_days date, std::uint64_t steps) {
    // Records come in runs from one source, so the last name is nearly always the one.
    if (source != lastSource_ || sources_.empty()) {
        auto [found, added] =
            sources_.try_emplace(std::string(source), static_cast<std::uint32_t>(sources_.size()));
        if (added && sources_.size() > kMaxSources)
            throw ImportError("names more sources of steps than any export does");
        lastSource_ = source;
        lastIndex_ = found->second;
    }
    std::uint64_t& cell = Cell(lastIndex_, date);
    cell = SaturatingAdd(cell, steps);
}

void StepsBySource::AddTo(DailySteps& daily) const {
    for (auto [key, steps] : cells_) {
        const auto day = static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
        daily.KeepLarger(std::chrono::sys_days(std::chrono::days(day)), steps);
    }
}
