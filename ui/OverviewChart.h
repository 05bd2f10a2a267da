#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <wx/window.h>

#include "ChartBars.h"

// The overview's chart: a bar for each day, month or year that ChartBarsOf
// gives, a value axis in round steps and a line at the daily goal. One bar
// is highlighted; Left and Right (Home and End) move it, the pointer moves
// it to the bar beneath, and its date and value are told to whoever listens
// and given to screen readers as the chart's description.
class OverviewChart : public wxWindow {
public:
    explicit OverviewChart(wxWindow* parent);

    // Shows the bars (oldest first) against the goal; the newest bar is
    // highlighted.
    void ShowBars(std::vector<ChartBar> bars, ChartSpan span, std::uint32_t goal);

    // Called with the highlighted bar's text each time it changes.
    void OnHighlight(std::function<void(const wxString&)> listener) {
        listener_ = std::move(listener);
    }
    // The highlighted bar's date and value, in the user's locale.
    wxString HighlightText() const;

    bool AcceptsFocus() const override { return true; }

private:
    void OnPaint(wxPaintEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnFocusChange(wxFocusEvent& event);

    void Highlight(std::optional<std::size_t> bar);
    ChartScale Scale() const;
    // Where the bars stand, inside the axis labels.
    wxRect PlotArea() const;
    // The slot of the bar under that point, if any.
    std::optional<std::size_t> BarAt(wxPoint point) const;
    wxString BarLabel(const ChartBar& bar) const;

    std::vector<ChartBar> bars_;
    ChartSpan span_ = ChartSpan::kLast7Days;
    std::uint32_t goal_ = 0;
    std::optional<std::size_t> highlighted_;
    std::function<void(const wxString&)> listener_;
};
