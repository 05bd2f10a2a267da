#include "OverviewChart.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <wx/dcbuffer.h>
#include <wx/numformatter.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "AccessibleLabels.h"

namespace {

wxDateTime ToDateTime(std::chrono::sys_days day) {
    const std::chrono::year_month_day date(day);
    return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(static_cast<unsigned>(date.day())),
                      static_cast<wxDateTime::Month>(static_cast<unsigned>(date.month()) - 1),
                      static_cast<int>(date.year()));
}

wxString Grouped(std::uint64_t value) {
    return wxNumberFormatter::ToString(static_cast<wxLongLong_t>(value),
                                       wxNumberFormatter::Style_WithThousandsSep);
}

bool OneDayABar(ChartSpan span) {
    return span == ChartSpan::kLast7Days || span == ChartSpan::kLast30Days;
}

// Colours that read apart on light and dark themes alike, the highlighted
// bar's far from the others'.
wxColour BarColour() {
    return wxColour(74, 134, 196);
}
wxColour HighlightColour() {
    return wxColour(235, 140, 20);
}
wxColour GoalColour() {
    return wxColour(200, 60, 40);
}

} // namespace

OverviewChart::OverviewChart(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
               wxFULL_REPAINT_ON_RESIZE | wxBORDER_THEME) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(FromDIP(wxSize(480, 220)));
    Bind(wxEVT_PAINT, &OverviewChart::OnPaint, this);
    Bind(wxEVT_KEY_DOWN, &OverviewChart::OnKeyDown, this);
    Bind(wxEVT_MOTION, &OverviewChart::OnMotion, this);
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
        SetFocus();
        event.Skip();
    });
    Bind(wxEVT_SET_FOCUS, &OverviewChart::OnFocusChange, this);
    Bind(wxEVT_KILL_FOCUS, &OverviewChart::OnFocusChange, this);
}

void OverviewChart::ShowBars(std::vector<ChartBar> bars, ChartSpan span, std::uint32_t goal) {
    bars_ = std::move(bars);
    span_ = span;
    goal_ = goal;
    highlighted_.reset();
    Highlight(bars_.empty() ? std::nullopt : std::optional<std::size_t>(bars_.size() - 1));
    Refresh();
}

wxString OverviewChart::HighlightText() const {
    if (!highlighted_)
        return "No entries yet.";
    const ChartBar& bar = bars_[*highlighted_];
    wxString when;
    switch (span_) {
    case ChartSpan::kLast7Days:
    case ChartSpan::kLast30Days:
        when = ToDateTime(bar.from).Format("%a %x");
        break;
    case ChartSpan::kLast12Months:
        when = ToDateTime(bar.from).Format("%B %Y");
        break;
    case ChartSpan::kAllYears:
        when = ToDateTime(bar.from).Format("%Y");
        break;
    }
    if (OneDayABar(span_))
        return bar.steps == 0 ? when + ": no steps" : when + ": " + Grouped(bar.steps) + " steps";
    return when + ": " + Grouped(bar.steps) + " steps a day";
}

void OverviewChart::Highlight(std::optional<std::size_t> bar) {
    if (bar == highlighted_)
        return;
    highlighted_ = bar;
    const wxString text = HighlightText();
    DescribeForScreenReaders(*this, text);
    if (listener_)
        listener_(text);
    Refresh();
}

wxString OverviewChart::BarLabel(const ChartBar& bar) const {
    switch (span_) {
    case ChartSpan::kLast7Days:
        return ToDateTime(bar.from).Format("%a");
    case ChartSpan::kLast30Days:
        return ToDateTime(bar.from).Format("%d");
    case ChartSpan::kLast12Months:
        return ToDateTime(bar.from).Format("%b");
    case ChartSpan::kAllYears:
        return ToDateTime(bar.from).Format("%Y");
    }
    return {};
}

ChartScale OverviewChart::Scale() const {
    // The goal line stays inside the chart even when no bar reaches it.
    std::uint64_t largest = goal_;
    for (const ChartBar& bar : bars_)
        largest = std::max(largest, bar.steps);
    return ScaleFor(largest);
}

wxRect OverviewChart::PlotArea() const {
    const wxSize client = GetClientSize();
    int labelWidth = 0;
    for (std::uint64_t tick : Scale().Ticks())
        labelWidth = std::max(labelWidth, GetTextExtent(Grouped(tick)).x);
    const int line = GetCharHeight();
    const int left = labelWidth + FromDIP(8);
    // The goal's label sits above its line, which may be the top of the
    // scale: room for the whole text, clear of the focus rectangle.
    const int top = std::max(line, GetTextExtent("Goal 0").y) + FromDIP(4);
    const int right = FromDIP(10);
    const int bottom = line + FromDIP(8);
    return wxRect(left, top, std::max(1, client.x - left - right),
                  std::max(1, client.y - top - bottom));
}

std::optional<std::size_t> OverviewChart::BarAt(wxPoint point) const {
    const wxRect plot = PlotArea();
    if (bars_.empty() || point.x < plot.x || point.x >= plot.GetRight() + 1)
        return std::nullopt;
    const auto slot =
        static_cast<std::size_t>((point.x - plot.x) * static_cast<long>(bars_.size()) / plot.width);
    return std::min(slot, bars_.size() - 1);
}

void OverviewChart::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetFont(GetFont());
    const wxColour background = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    dc.SetBackground(wxBrush(background));
    dc.Clear();
    dc.SetTextForeground(text);

    const wxRect plot = PlotArea();
    const ChartScale scale = Scale();
    const auto yOf = [&](std::uint64_t value) {
        const double share = static_cast<double>(value) / static_cast<double>(scale.top);
        return plot.GetBottom() - static_cast<int>(std::lround(share * (plot.height - 1)));
    };

    // The value axis: a faint line at each round step, its value left of it.
    const wxColour grid = background.ChangeLightness(background.GetLuminance() > 0.5 ? 85 : 130);
    for (std::uint64_t tick : scale.Ticks()) {
        const int y = yOf(tick);
        dc.SetPen(wxPen(grid));
        dc.DrawLine(plot.x, y, plot.GetRight() + 1, y);
        const wxString label = Grouped(tick);
        const wxSize extent = dc.GetTextExtent(label);
        dc.DrawText(label, plot.x - FromDIP(4) - extent.x, y - extent.y / 2);
    }

    // The bars: a day without entries, or a month or year without any, has none.
    const int count = static_cast<int>(bars_.size());
    int labelEvery = 1;
    if (count > 0) {
        int widest = 0;
        for (const ChartBar& bar : bars_)
            widest = std::max(widest, dc.GetTextExtent(BarLabel(bar)).x);
        const double slot = static_cast<double>(plot.width) / count;
        labelEvery = std::max(1, static_cast<int>(std::ceil((widest + FromDIP(6)) / slot)));
    }
    for (int i = 0; i < count; ++i) {
        const ChartBar& bar = bars_[static_cast<std::size_t>(i)];
        const int slotLeft = plot.x + plot.width * i / count;
        const int slotRight = plot.x + plot.width * (i + 1) / count;
        const int gap = std::max(1, (slotRight - slotLeft) / 5);
        const bool highlighted = highlighted_ == static_cast<std::size_t>(i);
        if (bar.steps > 0) {
            const int top = yOf(bar.steps);
            const wxColour fill = highlighted ? HighlightColour() : BarColour();
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(fill));
            dc.DrawRectangle(slotLeft + gap / 2, top, std::max(1, slotRight - slotLeft - gap),
                             plot.GetBottom() + 1 - top);
        }
        if (highlighted) {
            // A mark under the axis shows the highlighted slot even without a bar.
            dc.SetPen(wxPen(text, FromDIP(2)));
            dc.DrawLine(slotLeft + gap / 2, plot.GetBottom() + FromDIP(2), slotRight - gap / 2,
                        plot.GetBottom() + FromDIP(2));
        }
        if ((count - 1 - i) % labelEvery == 0) {
            const wxString label = BarLabel(bar);
            const wxSize extent = dc.GetTextExtent(label);
            dc.DrawText(label, (slotLeft + slotRight - extent.x) / 2,
                        plot.GetBottom() + FromDIP(5));
        }
    }

    // The goal, a dashed line across with its value at its right end.
    if (goal_ > 0) {
        const int y = yOf(goal_);
        dc.SetPen(wxPen(GoalColour(), FromDIP(1), wxPENSTYLE_SHORT_DASH));
        dc.DrawLine(plot.x, y, plot.GetRight() + 1, y);
        const wxString label = "Goal " + Grouped(goal_);
        const wxSize extent = dc.GetTextExtent(label);
        // On the window's background, so that a bar behind does not hide it.
        dc.SetTextForeground(GoalColour());
        dc.SetTextBackground(background);
        dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
        dc.DrawText(label, plot.GetRight() - extent.x, y - extent.y - FromDIP(1));
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        dc.SetTextForeground(text);
    }

    // The axis itself.
    dc.SetPen(wxPen(text));
    dc.DrawLine(plot.x, plot.y, plot.x, plot.GetBottom() + 1);
    dc.DrawLine(plot.x, plot.GetBottom(), plot.GetRight() + 1, plot.GetBottom());

    if (HasFocus())
        wxRendererNative::Get().DrawFocusRect(this, dc, GetClientRect().Deflate(FromDIP(2)));
}

void OverviewChart::OnKeyDown(wxKeyEvent& event) {
    if (bars_.empty() || event.GetModifiers() != wxMOD_NONE) {
        event.Skip();
        return;
    }
    const std::size_t last = bars_.size() - 1;
    const std::size_t at = highlighted_.value_or(last);
    switch (event.GetKeyCode()) {
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
        Highlight(at == 0 ? 0 : at - 1);
        return;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
        Highlight(std::min(at + 1, last));
        return;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        Highlight(0);
        return;
    case WXK_END:
    case WXK_NUMPAD_END:
        Highlight(last);
        return;
    default:
        event.Skip();
    }
}

void OverviewChart::OnMotion(wxMouseEvent& event) {
    if (const std::optional<std::size_t> bar = BarAt(event.GetPosition()))
        Highlight(bar);
    event.Skip();
}

void OverviewChart::OnFocusChange(wxFocusEvent& event) {
    Refresh();
    event.Skip();
}
