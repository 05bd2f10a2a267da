#include <algorithm>

#include <gtest/gtest.h>

#include "Canvas.h"
#include "LabelFont.h"

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGrey{128, 128, 128};

std::unique_ptr<LabelFont> ChartFont() {
    return LabelFont::Create("Verdana", 12);
}

// The smallest rectangle holding every pixel that differs from the background.
Rect InkBounds(const Canvas& canvas, Rgb background) {
    Rect ink{canvas.Width(), canvas.Height(), 0, 0};
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.PixelAt(x, y) == background)
                continue;
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x + 1);
            ink.bottom = std::max(ink.bottom, y + 1);
        }
    }
    return ink;
}

Canvas FilledCanvas(Rgb colour) {
    Canvas canvas(120, 60, 32);
    canvas.FillRect({0, 0, 120, 60}, colour);
    return canvas;
}

} // namespace

TEST(LabelFontTest, CellHeightAndWidthsAreFixed) {
    auto font = ChartFont();
    ASSERT_NE(font, nullptr) << "no font matches Verdana";
    EXPECT_EQ(font->Ascent() + font->Descent(), 12);
    EXPECT_GT(font->Descent(), 0);

    // Whole-pixel advances: a label is as wide as its characters together, and
    // a second font object measures the same.
    const int width = font->TextWidth("03 01");
    EXPECT_GT(width, 15);
    EXPECT_LT(width, 36);
    EXPECT_EQ(width, 2 * font->TextWidth("0") + font->TextWidth("3") + font->TextWidth(" ") +
                         font->TextWidth("1"));
    EXPECT_EQ(ChartFont()->TextWidth("03 01"), width);
    EXPECT_EQ(font->TextWidth(""), 0);
    EXPECT_GT(font->TextWidth("\xE9"), 0) << "a byte outside ASCII still takes a cell";

    EXPECT_NE(LabelFont::Create("No Such Face At All", 12), nullptr) << "falls back to a match";
    EXPECT_EQ(LabelFont::Create("Verdana", 0), nullptr);
}

TEST(LabelFontTest, CentredTextInksInsideItsBox) {
    auto font = ChartFont();
    ASSERT_NE(font, nullptr);
    Canvas canvas = FilledCanvas(kWhite);
    const Rect box{32, 20, 68, 40}; // a date label at x 50
    font->DrawText(canvas, "03 01", box, TextAlign::Centre, {{0, 0, 0}, true, kWhite});

    const Rect ink = InkBounds(canvas, kWhite);
    ASSERT_LT(ink.left, ink.right) << "nothing drawn";
    EXPECT_GE(ink.left, box.left);
    EXPECT_LE(ink.right, box.right);
    EXPECT_GE(ink.top, box.top);
    EXPECT_LE(ink.bottom, box.top + 12) << "text starts at the top edge";
    EXPECT_GE(ink.bottom, box.top + font->Ascent() - 1) << "digits sit on the baseline";
    const int leftMargin = ink.left - box.left;
    const int rightMargin = box.right - ink.right;
    EXPECT_LE(std::abs(leftMargin - rightMargin), 2);

    // Grey-scale anti-aliasing leaves partly covered pixels.
    bool sawGrey = false;
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x) {
            const Rgb p = canvas.PixelAt(x, y);
            sawGrey = sawGrey || (p.r > 30 && p.r < 225);
        }
    EXPECT_TRUE(sawGrey);
}

TEST(LabelFontTest, ClipsToTheBoxAndFillsOnlyTheTextCells) {
    auto font = ChartFont();
    ASSERT_NE(font, nullptr);

    // Text wider than its box is cut at both sides of the box.
    Canvas clipped = FilledCanvas(kWhite);
    const Rect narrow{40, 10, 50, 15};
    font->DrawText(clipped, "12345678", narrow, TextAlign::Centre, {{0, 0, 0}, false, kWhite});
    const Rect ink = InkBounds(clipped, kWhite);
    EXPECT_GE(ink.left, narrow.left);
    EXPECT_LE(ink.right, narrow.right);
    EXPECT_GE(ink.top, narrow.top);
    EXPECT_LE(ink.bottom, narrow.bottom);

    // An opaque background covers the text's own cells, left-aligned here, and
    // nothing else of the box.
    Canvas opaque = FilledCanvas(kGrey);
    const Rect box{10, 10, 100, 50};
    const int width = font->TextWidth("8000");
    font->DrawText(opaque, "8000", box, TextAlign::Left, {{0, 0, 0}, true, kWhite});
    EXPECT_EQ(opaque.PixelAt(10, 10), kWhite);
    EXPECT_EQ(opaque.PixelAt(10 + width - 1, 21), kWhite);
    EXPECT_EQ(opaque.PixelAt(10 + width, 10), kGrey);
    EXPECT_EQ(opaque.PixelAt(10, 22), kGrey);
    EXPECT_EQ(opaque.PixelAt(9, 10), kGrey);

    // A transparent background leaves the canvas showing between the strokes.
    Canvas transparent = FilledCanvas(kGrey);
    font->DrawText(transparent, "8000", box, TextAlign::Left, {{30, 0, 60}, false, kWhite});
    EXPECT_EQ(transparent.PixelAt(10, 10), kGrey);
    EXPECT_NE(InkBounds(transparent, kGrey).right, 0);

    // Boxes partly or wholly off the canvas draw nothing outside it and do not fault.
    Canvas edge = FilledCanvas(kWhite);
    font->DrawText(edge, "03 01", {-20, -5, 10, 10}, TextAlign::Centre, {{0, 0, 0}, true, kWhite});
    font->DrawText(edge, "03 01", {500, 500, 540, 520}, TextAlign::Left, {{0, 0, 0}, true, kWhite});
    EXPECT_LE(InkBounds(edge, kWhite).right, 10);
}
