#include "OverviewWindow.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <wx/choice.h>
#include <wx/gauge.h>
#include <wx/numformatter.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "AccessibleLabels.h"
#include "BesideModalDialog.h"
#include "ChartBars.h"
#include "DailyGoal.h"
#include "DayTotals.h"
#include "ListDayTotals.h"
#include "LocalToday.h"
#include "OverviewChart.h"
#include "Settings.h"
#include "StepFigures.h"

namespace {

// The chart's choices, in the order of the choice box.
constexpr ChartSpan kSpans[] = {ChartSpan::kLast7Days, ChartSpan::kLast30Days,
                                ChartSpan::kLast12Months, ChartSpan::kAllYears};

// Long counts are read at a glance with their thousands marked as the user
// is used to.
wxString Grouped(std::uint64_t value) {
    return wxNumberFormatter::ToString(static_cast<wxLongLong_t>(value),
                                       wxNumberFormatter::Style_WithThousandsSep);
}

wxString Days(std::uint64_t count) {
    return Grouped(count) + (count == 1 ? " day" : " days");
}

wxString DateText(std::chrono::sys_days day) {
    const std::chrono::year_month_day date(day);
    return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(static_cast<unsigned>(date.day())),
                      static_cast<wxDateTime::Month>(static_cast<unsigned>(date.month()) - 1),
                      static_cast<int>(date.year()))
        .FormatDate();
}

wxStaticText* Heading(wxWindow* parent, const wxString& text) {
    auto* heading = new wxStaticText(parent, wxID_ANY, text);
    heading->SetFont(heading->GetFont().Bold());
    return heading;
}

} // namespace

OverviewWindow::OverviewWindow(wxWindow* parent, Settings& settings)
    : wxFrame(parent, wxID_ANY, "Trekline Overview"), settings_(settings),
      totals_(std::make_unique<ListDayTotals>()), goal_(settings.DailyGoal()) {
    TakeInputBesideModalDialog(*this);
    // Windows reads a window the toolkit draws itself by its text, which the
    // toolkit fills with the window's name: the background the figures lie
    // on has none, or screen readers would announce "panel".
    auto* panel =
        new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL, wxString());
    auto* column = new wxBoxSizer(wxVERTICAL);
    const int gap = FromDIP(6);

    // Today against the goal.
    column->Add(Heading(panel, "Today"), 0, wxLEFT | wxRIGHT | wxTOP, gap * 2);
    today_ = MakeFigure(panel, "today_figure", "Today");
    column->Add(today_.text, 0, wxLEFT | wxRIGHT | wxTOP, gap * 2);
    todayGauge_ = new wxGauge(panel, wxID_ANY, 100, wxDefaultPosition, wxDefaultSize,
                              wxGA_HORIZONTAL | wxGA_SMOOTH);
    NameForScreenReaders(*todayGauge_, "Today against the daily goal");
    column->Add(todayGauge_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap * 2);

    // The periods: a row each, their steps and steps a day.
    column->Add(Heading(panel, "Periods"), 0, wxLEFT | wxRIGHT | wxTOP, gap * 2);
    auto* periods = new wxFlexGridSizer(3, gap / 2, gap * 4);
    periods->AddGrowableCol(0);
    periods->Add(new wxStaticText(panel, wxID_ANY, ""));
    periods->Add(new wxStaticText(panel, wxID_ANY, "Steps"), 0, wxALIGN_RIGHT);
    periods->Add(new wxStaticText(panel, wxID_ANY, "A day"), 0, wxALIGN_RIGHT);
    const auto addRow = [&](PeriodRow& row, const char* key, const wxString& name) {
        auto* label = new wxStaticText(panel, wxID_ANY, name);
        LabelNothing(*label);
        periods->Add(label);
        row.steps =
            MakeFigure(panel, (std::string(key) + "_steps_figure").c_str(), name + ", steps");
        row.average = MakeFigure(panel, (std::string(key) + "_average_figure").c_str(),
                                 name + ", steps a day");
        periods->Add(row.steps.text, 0, wxALIGN_RIGHT);
        periods->Add(row.average.text, 0, wxALIGN_RIGHT);
    };
    addRow(week_, "week", "This week");
    addRow(month_, "month", "This month");
    addRow(year_, "year", "This year");
    addRow(last7_, "last7", "Last 7 days");
    addRow(last30_, "last30", "Last 30 days");
    column->Add(periods, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap * 2);

    // The best day, the streaks and the goal days, a line each.
    column->Add(Heading(panel, "Records and streaks"), 0, wxLEFT | wxRIGHT | wxTOP, gap * 2);
    auto* records = new wxFlexGridSizer(2, gap / 2, gap * 4);
    const auto addLine = [&](Figure& figure, const char* key, const wxString& name) {
        records->Add(new wxStaticText(panel, wxID_ANY, name + ":"));
        figure = MakeFigure(panel, key, name);
        records->Add(figure.text);
    };
    addLine(bestDay_, "best_day_figure", "Best day");
    addLine(currentStreak_, "current_streak_figure", "Current streak");
    addLine(longestStreak_, "longest_streak_figure", "Longest streak");
    addLine(goalDays_, "goal_days_figure", "Goal days of the last 30");
    column->Add(records, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap * 2);

    // The goal, kept as soon as it is one.
    auto* goalRow = new wxBoxSizer(wxHORIZONTAL);
    auto* goalLabel = new wxStaticText(panel, wxID_ANY, "Daily &goal (steps):");
    goalEdit_ = new wxTextCtrl(panel, wxID_ANY, std::to_string(goal_), wxDefaultPosition,
                               wxDefaultSize, 0, wxDefaultValidator, "daily_goal_edit");
    goalRow->Add(goalLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
    goalRow->Add(goalEdit_, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(goalRow, 0, wxLEFT | wxRIGHT | wxTOP, gap * 2);
    goalRefusal_ =
        new wxStaticText(panel, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0, "goal_refusal");
    goalRefusal_->SetForegroundColour(wxColour(180, 30, 20));
    goalRefusal_->Hide();
    MarkAsNotice(*goalRefusal_);
    column->Add(goalRefusal_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap * 2);
    goalEdit_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnGoalText(); });

    // The chart, with the highlighted bar's line beside it.
    auto* chartRow = new wxBoxSizer(wxHORIZONTAL);
    auto* spanLabel = new wxStaticText(panel, wxID_ANY, "&Chart:");
    chartSpan_ = new wxChoice(panel, wxID_ANY);
    for (const char* span : {"Last 7 days", "Last 30 days", "Last 12 months", "All years"})
        chartSpan_->Append(span);
    chartSpan_->SetSelection(0);
    chartRow->Add(spanLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
    chartRow->Add(chartSpan_, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(chartRow, 0, wxLEFT | wxRIGHT | wxTOP, gap * 2);
    chart_ = new OverviewChart(panel);
    NameForScreenReaders(*chart_, "Steps a day chart");
    chartLine_ =
        new wxStaticText(panel, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
    chart_->OnHighlight([this](const wxString& text) {
        chartLine_->SetLabel(text);
        NameForScreenReaders(*chartLine_, text);
    });
    column->Add(chart_, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, gap * 2);
    column->Add(chartLine_, 0, wxEXPAND | wxALL, gap * 2);
    chartSpan_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ShowChart(); });

    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        // Escape closes the overview, which holds nothing that could be lost.
        if (event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE)
            Close();
        // The goal edit would otherwise take Alt and a letter as typing.
        else if (!ActivateMnemonic(*this, event))
            event.Skip();
    });

    panel->SetSizer(column);
    auto* frameSizer = new wxBoxSizer(wxVERTICAL);
    frameSizer->Add(panel, 1, wxEXPAND);
    SetSizerAndFit(frameSizer);
    // Screen readers tie each label to the control made after it only once
    // the window is up; the goal's and the chart's labels are set then.
    // The keys move through the chart's bars from the start.
    chart_->SetFocus();
    dayTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (LocalToday() != asOf_)
            ShowFiguresOfTotals();
    });
    dayTimer_.Start(60 * 1000);
    CallAfter([this, goalLabel, spanLabel] {
        LabelControls(*goalLabel, {goalEdit_}, *goalEdit_);
        LabelControls(*spanLabel, {chartSpan_}, *chartSpan_);
    });
}

OverviewWindow::~OverviewWindow() = default;

OverviewWindow::Figure OverviewWindow::MakeFigure(wxWindow* parent, const char* windowName,
                                                  const wxString& name) {
    Figure figure;
    figure.text =
        new wxStaticText(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0, windowName);
    figure.name = name;
    return figure;
}

void OverviewWindow::SetFigure(Figure& figure, const wxString& value) {
    // Most figures stay as they were after a change, and a label set anew is
    // drawn anew.
    if (figure.text->GetLabel() == value)
        return;
    figure.text->SetLabel(value);
    // Read as "This week, steps: 12,345": a bare number says nothing.
    NameForScreenReaders(*figure.text, figure.name + ": " + value);
}

void OverviewWindow::ShowFigures(const std::vector<ShownEntry>& items) {
    totals_->Reset(items);
    ShowFiguresOfTotals();
}

void OverviewWindow::FollowChanges(const std::vector<EntryListChange>& changes,
                                   const std::vector<ShownEntry>& items) {
    totals_->Follow(changes, items);
    ShowFiguresOfTotals();
}

void OverviewWindow::ShowFiguresOfTotals() {
    asOf_ = LocalToday();
    const StepFigures figures = FiguresAsOf(totals_->Days(), asOf_, goal_);
    const double share = static_cast<double>(figures.today.steps) / figures.goal;
    SetFigure(today_, Grouped(figures.today.steps) + " of " + Grouped(figures.goal) + " steps (" +
                          Grouped(static_cast<std::uint64_t>(std::floor(share * 100))) + "%)");
    todayGauge_->SetValue(static_cast<int>(std::min(100.0, std::floor(share * 100))));
    const auto showPeriod = [this](PeriodRow& row, const PeriodSteps& period) {
        SetFigure(row.steps, Grouped(period.steps));
        SetFigure(row.average, Grouped(period.average));
    };
    showPeriod(week_, figures.week);
    showPeriod(month_, figures.month);
    showPeriod(year_, figures.year);
    showPeriod(last7_, figures.last7Days);
    showPeriod(last30_, figures.last30Days);
    SetFigure(bestDay_, figures.bestDay ? Grouped(figures.bestDay->steps) + " steps on " +
                                              DateText(figures.bestDay->date)
                                        : wxString("no entries yet"));
    SetFigure(currentStreak_, Days(figures.streaks.current));
    wxString longest = Days(figures.streaks.longest);
    if (figures.streaks.longestFrom && figures.streaks.longestTo)
        longest += ", " + DateText(*figures.streaks.longestFrom) + " to " +
                   DateText(*figures.streaks.longestTo);
    SetFigure(longestStreak_, longest);
    SetFigure(goalDays_, Grouped(figures.goalDaysLast30) + " of 30");
    ShowChart();
    Layout();
    // Grows to fit longer figures, never shrinks under the user's hands.
    const wxSize best = GetBestSize();
    const wxSize now = GetSize();
    if (best.x > now.x || best.y > now.y)
        SetSize(wxSize(std::max(best.x, now.x), std::max(best.y, now.y)));
}

void OverviewWindow::ShowChart() {
    const int choice = std::max(0, chartSpan_->GetSelection());
    const ChartSpan span = kSpans[choice];
    chart_->ShowBars(ChartBarsOf(totals_->Days(), asOf_, span), span, goal_);
}

void OverviewWindow::OnGoalText() {
    const std::optional<std::uint32_t> goal = ParseDailyGoal(goalEdit_->GetValue().utf8_string());
    if (!goal) {
        ShowRefusal("Not a daily goal: a whole number of steps from 1 to " +
                    Grouped(kMostDailyGoal) + " is. The goal stays " + Grouped(goal_) + ".");
        return;
    }
    ShowRefusal("");
    if (*goal == goal_)
        return;
    goal_ = *goal;
    settings_.KeepDailyGoal(goal_);
    ShowFiguresOfTotals();
}

void OverviewWindow::ShowRefusal(const wxString& text) {
    if (goalRefusal_->GetLabel() == text)
        return;
    wxWindow* panel = goalRefusal_->GetParent();
    goalRefusal_->SetLabel(text);
    goalRefusal_->Wrap(panel->GetClientSize().x - FromDIP(24));
    goalRefusal_->Show(!text.empty());
    panel->Layout();
}
