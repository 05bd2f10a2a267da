#include "ChartLine.h"

#include <algorithm>

namespace {

constexpr int kMarkerHalf = 3;

// Rows [top, bottom) of one pixel column.
struct Span {
    int top;
    int bottom;
};

// The rows of a vertical segment from y0 to y1, as the canvas draws it: its
// start included, its end not.
Span SegmentRows(int y0, int y1) {
    return y1 >= y0 ? Span{y0, y1} : Span{y1 + 1, y0 + 1};
}

Span MarkerRows(int y) {
    return {y - kMarkerHalf, y + kMarkerHalf};
}

// The rows of one column already given their final colour, as sorted
// disjoint spans; drawing back to front, a later (earlier drawn) span only
// fills what is still open.
class OpenRows {
public:
    template <typename Fill> void Paint(Span span, Fill fill) {
        if (span.top >= span.bottom)
            return;
        int from = span.top;
        auto it = std::ranges::lower_bound(done_, from, {}, &Span::bottom);
        while (from < span.bottom) {
            const int openEnd = it == done_.end() ? span.bottom : std::min(span.bottom, it->top);
            if (from < openEnd)
                fill(Span{from, openEnd});
            if (it == done_.end() || it->top >= span.bottom)
                break;
            from = std::max(from, it->bottom);
            ++it;
        }
        Merge(span);
    }

private:
    void Merge(Span span) {
        auto first = std::ranges::lower_bound(done_, span.top, {}, &Span::bottom);
        auto last = first;
        while (last != done_.end() && last->top <= span.bottom) {
            span.top = std::min(span.top, last->top);
            span.bottom = std::max(span.bottom, last->bottom);
            ++last;
        }
        done_.insert(done_.erase(first, last), span);
    }

    std::vector<Span> done_;
};

// Points [first, end) share one column x; the segment into the first has
// been drawn. What is drawn in order is marker, segment, marker, ...,
// marker: within the column each row takes the colour of the last of those
// that covers it, and beside the column only markers draw.
void DrawColumnRun(Canvas& canvas, const std::vector<ChartPoint>& points, std::size_t first,
                   std::size_t end, Rgb line, Rgb marker) {
    const int x = points[first].x;
    OpenRows column;
    auto fillColumn = [&](Rgb colour) {
        return [&canvas, x, colour](Span rows) {
            canvas.FillRect({x, rows.top, x + 1, rows.bottom}, colour);
        };
    };
    for (std::size_t i = end; i-- > first;) {
        column.Paint(MarkerRows(points[i].y), fillColumn(marker));
        if (i > first)
            column.Paint(SegmentRows(points[i - 1].y, points[i].y), fillColumn(line));
    }
    std::vector<Span> markers;
    for (std::size_t i = first; i < end; ++i)
        markers.push_back(MarkerRows(points[i].y));
    std::ranges::sort(markers, {}, &Span::top);
    for (std::size_t i = 0; i < markers.size();) {
        Span merged = markers[i];
        while (++i < markers.size() && markers[i].top <= merged.bottom)
            merged.bottom = std::max(merged.bottom, markers[i].bottom);
        canvas.FillRect({x - kMarkerHalf, merged.top, x, merged.bottom}, marker);
        canvas.FillRect({x + 1, merged.top, x + kMarkerHalf, merged.bottom}, marker);
    }
}

} // namespace

void FillMarker(Canvas& canvas, ChartPoint point, Rgb colour) {
    canvas.FillRect({point.x - kMarkerHalf, point.y - kMarkerHalf, point.x + kMarkerHalf,
                     point.y + kMarkerHalf},
                    colour);
}

void DrawChartLine(Canvas& canvas, const std::vector<ChartPoint>& points, Rgb line, Rgb marker) {
    if (points.empty())
        return;
    canvas.MoveTo(points.front().x, points.front().y);
    for (std::size_t first = 0; first < points.size();) {
        std::size_t end = first + 1;
        while (end < points.size() && points[end].x == points[first].x)
            ++end;
        if (first > 0)
            canvas.LineTo(points[first].x, points[first].y, line);
        if (end - first == 1)
            FillMarker(canvas, points[first], marker);
        else
            DrawColumnRun(canvas, points, first, end, line, marker);
        canvas.MoveTo(points[end - 1].x, points[end - 1].y);
        first = end;
    }
}
