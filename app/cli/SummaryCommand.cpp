#include "SummaryCommand.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "CStepFile.h"
#include "DayTotals.h"
#include "DiaryCommands.h"
#include "ExportValues.h"
#include "FileCommands.h"
#include "LocalToday.h"
#include "StepFigures.h"

namespace {

constexpr int kDone = 0;
constexpr int kNotDone = 1;

std::string DateText(std::chrono::sys_days date) {
    return IsoDateText(std::chrono::year_month_day(date));
}

// "1,234,567": long counts are read at a glance with their thousands marked.
std::string Grouped(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

std::string Days(std::uint32_t count) {
    return Grouped(count) + (count == 1 ? " day" : " days");
}

nlohmann::ordered_json PeriodJson(const PeriodSteps& period) {
    return {{"from", DateText(period.from)}, {"steps", period.steps}, {"average", period.average}};
}

nlohmann::ordered_json FiguresJson(const StepFigures& figures) {
    nlohmann::ordered_json json;
    json["as_of"] = DateText(figures.asOf);
    json["goal"] = figures.goal;
    json["today"] = {{"steps", figures.today.steps}};
    json["week"] = PeriodJson(figures.week);
    json["month"] = PeriodJson(figures.month);
    json["year"] = PeriodJson(figures.year);
    json["last_7_days"] = PeriodJson(figures.last7Days);
    json["last_30_days"] = PeriodJson(figures.last30Days);
    json["best_day"] = nullptr;
    if (figures.bestDay)
        json["best_day"] = {{"date", DateText(figures.bestDay->date)},
                            {"steps", figures.bestDay->steps}};
    const GoalStreaks& streaks = figures.streaks;
    json["streak"] = {{"current", streaks.current},
                      {"longest", streaks.longest},
                      {"longest_from", nullptr},
                      {"longest_to", nullptr}};
    if (streaks.longestFrom && streaks.longestTo) {
        json["streak"]["longest_from"] = DateText(*streaks.longestFrom);
        json["streak"]["longest_to"] = DateText(*streaks.longestTo);
    }
    json["goal_days_last_30"] = figures.goalDaysLast30;
    return json;
}

void PrintFigures(const StepFigures& figures, std::ostream& out) {
    out << "Steps as of " << DateText(figures.asOf) << ", daily goal " << Grouped(figures.goal)
        << "\n\n";
    char line[160];
    std::snprintf(line, sizeof line, "%-14s %15s %13s  %s\n", "", "steps", "a day", "since");
    out << line;
    const std::pair<const char*, const PeriodSteps*> periods[] = {
        {"this week", &figures.week},          {"this month", &figures.month},
        {"this year", &figures.year},          {"last 7 days", &figures.last7Days},
        {"last 30 days", &figures.last30Days},
    };
    std::snprintf(line, sizeof line, "%-14s %15s\n", "today", Grouped(figures.today.steps).c_str());
    out << line;
    for (const auto& [name, period] : periods) {
        std::snprintf(line, sizeof line, "%-14s %15s %13s  %s\n", name,
                      Grouped(period->steps).c_str(), Grouped(period->average).c_str(),
                      DateText(period->from).c_str());
        out << line;
    }
    out << '\n';
    if (figures.bestDay)
        out << "Best day: " << DateText(figures.bestDay->date) << ", "
            << Grouped(figures.bestDay->steps) << " steps\n";
    else
        out << "Best day: none yet\n";
    out << "Goal met on " << figures.goalDaysLast30 << " of the last 30 days\n";
    const GoalStreaks& streaks = figures.streaks;
    out << "Streak: " << Days(streaks.current) << " now, longest " << Days(streaks.longest);
    if (streaks.longestFrom && streaks.longestTo)
        out << " (" << DateText(*streaks.longestFrom) << " to " << DateText(*streaks.longestTo)
            << ")";
    out << '\n';
}

} // namespace

std::optional<int> RunSummaryCommand(const CommandLine& commandLine,
                                     const std::function<std::uint32_t()>& rememberedGoal,
                                     std::ostream& out, std::ostream& err) {
    if (commandLine.action != CommandLine::Action::kSummary)
        return std::nullopt;
    const std::optional<DiaryFiles> diary = CommandLineDiary(commandLine, err);
    if (!diary)
        return kNotDone;
    const DiaryFiles& files = *diary;
    constexpr std::string_view kConsequence = "there is no summary";
    try {
        CStepFile file(files);
        std::vector<StepRecord> records;
        if (file.IsOk())
            records = file.ReadAll();
        if (!file.IsOk()) {
            err << "trekline: " << DiaryFailure(file, files, "reading", kConsequence).notice
                << '\n';
            return kNotDone;
        }
        const std::vector<DayTotal> days = DayTotalsOf(records);
        const StepFigures figures = FiguresAsOf(
            days, commandLine.asOf ? std::chrono::sys_days(*commandLine.asOf) : LocalToday(),
            commandLine.goal ? *commandLine.goal : rememberedGoal());
        if (commandLine.json)
            out << FiguresJson(figures).dump() << '\n';
        else
            PrintFigures(figures, out);
    } catch (...) {
        err << "trekline: " << ExceptionFailure(kConsequence).notice << '\n';
        return kNotDone;
    }
    out.flush();
    return out ? kDone : kNotDone;
}
