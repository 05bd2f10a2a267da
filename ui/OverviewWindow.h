#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include <wx/frame.h>
#include <wx/timer.h>

#include "EntryListChange.h"
#include "ShownEntries.h"

class ListDayTotals;
class OverviewChart;
class Settings;
class wxChoice;
class wxGauge;
class wxStaticText;
class wxTextCtrl;

// How the diary is doing, in a window of its own beside the main dialog:
// today against the daily goal, the periods, the best day, the streaks and
// a chart. It shows what the dialog's list holds, and is told each time
// the list changes; the daily goal typed here is kept in the settings.
class OverviewWindow : public wxFrame {
public:
    // `settings` is the dialog's, which outlives this window.
    OverviewWindow(wxWindow* parent, Settings& settings);
    ~OverviewWindow() override;

    // Works the figures out afresh from the list's entries, as of today.
    void ShowFigures(const std::vector<ShownEntry>& items);
    // The same after the changes that made the list's entries `items`,
    // counting again only the days they touched.
    void FollowChanges(const std::vector<EntryListChange>& changes,
                       const std::vector<ShownEntry>& items);

private:
    // A figure and what a screen reader calls it, read with its value.
    struct Figure {
        wxStaticText* text = nullptr;
        wxString name;
    };

    Figure MakeFigure(wxWindow* parent, const char* windowName, const wxString& name);
    void SetFigure(Figure& figure, const wxString& value);
    void ShowFiguresOfTotals();
    void ShowChart();
    void OnGoalText();
    void ShowRefusal(const wxString& text);

    Settings& settings_;
    // The day totals of the entries last shown.
    std::unique_ptr<ListDayTotals> totals_;
    std::uint32_t goal_;
    // The day the figures are as of; a window left open over midnight moves
    // on to the next.
    std::chrono::sys_days asOf_{};
    wxTimer dayTimer_;

    Figure today_;
    wxGauge* todayGauge_ = nullptr;
    struct PeriodRow {
        Figure steps;
        Figure average;
    };
    PeriodRow week_, month_, year_, last7_, last30_;
    Figure bestDay_, currentStreak_, longestStreak_, goalDays_;
    wxTextCtrl* goalEdit_ = nullptr;
    wxStaticText* goalRefusal_ = nullptr;
    wxChoice* chartSpan_ = nullptr;
    OverviewChart* chart_ = nullptr;
    wxStaticText* chartLine_ = nullptr;
};
