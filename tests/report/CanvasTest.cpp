#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "BmpHeaders.h"
#include "Canvas.h"
#include "Palette.h"

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
const int kDepths[] = {1, 4, 8, 16, 24, 32};

BitmapInfo InfoFor(const Canvas& canvas) {
    BitmapInfo info;
    info.header.biWidth = canvas.Width();
    info.header.biHeight = canvas.Height();
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<std::uint16_t>(canvas.BitsPerPixel());
    info.colours.resize(canvas.Palette().size());
    return info;
}

// The canvas's rows as the pixel request delivers them, bottom row first.
std::vector<std::uint8_t> Rows(const Canvas& canvas) {
    BitmapInfo info = InfoFor(canvas);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(
        PaddedRowBytes(canvas.Width(), canvas.BitsPerPixel()) * canvas.Height()));
    EXPECT_EQ(canvas.GetPixelRows(0, canvas.Height(), pixels, info), canvas.Height());
    return pixels;
}

void BlendPixel(Canvas& canvas, int x, int y, Rgb colour, std::uint8_t coverage) {
    canvas.BlendBlock(x, y, colour, &coverage, 1, 1, 1);
}

std::vector<std::pair<int, int>> PixelsOf(const Canvas& canvas, Rgb colour) {
    std::vector<std::pair<int, int>> found;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.PixelAt(x, y) == colour) {
                found.emplace_back(x, y);
            }
        }
    }
    return found;
}

} // namespace

TEST(CanvasTest, StartsBlackWithTheFixedPaletteOfItsDepth) {
    for (const int depth : kDepths) {
        Canvas canvas(7, 5, depth);
        EXPECT_EQ(canvas.BitsPerPixel(), depth);
        EXPECT_EQ(PixelsOf(canvas, kBlack).size(), 35u) << depth;
    }
    EXPECT_EQ(Canvas(1, 1, 1).Palette(), (std::vector<Rgb>{kBlack, kWhite}));
    EXPECT_EQ(Canvas(1, 1, 4).Palette().size(), 16u);
    EXPECT_EQ(Canvas(1, 1, 4).Palette()[7], (Rgb{192, 192, 192}));
    EXPECT_TRUE(Canvas(1, 1, 16).Palette().empty());
    EXPECT_TRUE(Canvas(1, 1, 32).Palette().empty());

    const std::vector<Rgb>& system = Canvas(1, 1, 8).Palette();
    ASSERT_EQ(system.size(), 256u);
    EXPECT_EQ(system[8], (Rgb{192, 220, 192}));
    EXPECT_EQ(system[9], (Rgb{166, 202, 240}));
    EXPECT_EQ(system[246], (Rgb{255, 251, 240}));
    EXPECT_EQ(system[247], (Rgb{160, 160, 164}));
    EXPECT_EQ(system[255], kWhite);
    // Every entry distinct, so a colour has one index and the table wastes none.
    for (std::size_t i = 0; i < system.size(); ++i) {
        EXPECT_EQ(std::count(system.begin(), system.end(), system[i]), 1) << i;
    }
}

TEST(CanvasTest, FillRectIsClippedAndHalfOpen) {
    for (const int depth : kDepths) {
        Canvas canvas(10, 8, depth);
        canvas.FillRect({-5, -5, 3, 2}, kWhite);
        canvas.FillRect({8, 6, 50, 50}, kRed);
        canvas.FillRect({5, 5, 4, 7}, kBlue); // inverted
        EXPECT_EQ(PixelsOf(canvas, kWhite).size(), 6u) << depth;
        EXPECT_EQ(canvas.PixelAt(2, 1), kWhite) << depth;
        EXPECT_EQ(canvas.PixelAt(3, 1), kBlack) << depth;
        EXPECT_EQ(canvas.PixelAt(2, 2), kBlack) << depth;
        if (depth > 1) {
            EXPECT_EQ(PixelsOf(canvas, kRed).size(), 4u) << depth;
            EXPECT_EQ(canvas.PixelAt(9, 7), kRed) << depth;
            EXPECT_TRUE(PixelsOf(canvas, kBlue).empty()) << depth;
        }
        EXPECT_EQ(canvas.PixelAt(-1, 0), kBlack);
        EXPECT_EQ(canvas.PixelAt(10, 0), kBlack);
    }
}

TEST(CanvasTest, ColoursBecomeWhatTheDepthCanShow) {
    const Rgb nearlyRed{250, 12, 5};
    Canvas mono(1, 1, 1);
    mono.FillRect({0, 0, 1, 1}, {200, 200, 200});
    EXPECT_EQ(mono.PixelAt(0, 0), kWhite);
    mono.FillRect({0, 0, 1, 1}, nearlyRed);
    EXPECT_EQ(mono.PixelAt(0, 0), kBlack);

    Canvas vga(1, 1, 4);
    vga.FillRect({0, 0, 1, 1}, nearlyRed);
    EXPECT_EQ(vga.PixelAt(0, 0), kRed);
    vga.FillRect({0, 0, 1, 1}, {120, 130, 125});
    EXPECT_EQ(vga.PixelAt(0, 0), (Rgb{128, 128, 128}));

    Canvas system(1, 1, 8);
    system.FillRect({0, 0, 1, 1}, {165, 200, 238});
    EXPECT_EQ(system.PixelAt(0, 0), (Rgb{166, 202, 240}));

    // Five bits a component; the lost bits come back as copies of the top ones.
    Canvas highColour(1, 1, 16);
    highColour.FillRect({0, 0, 1, 1}, {132, 7, 255});
    EXPECT_EQ(highColour.PixelAt(0, 0), (Rgb{132, 0, 255}));

    Canvas trueColour(1, 1, 24);
    trueColour.FillRect({0, 0, 1, 1}, {1, 2, 3});
    EXPECT_EQ(trueColour.PixelAt(0, 0), (Rgb{1, 2, 3}));
}

TEST(CanvasTest, RememberedPaletteMatchesStayExact) {
    Canvas canvas(1, 1, 8);
    const std::vector<Rgb>& palette = canvas.Palette();
    // Twice over more colours than the memory has places, so that both fresh
    // searches and remembered ones, and colours sharing a place, are checked.
    for (int pass = 0; pass < 2; ++pass) {
        for (int r = 0; r < 256; r += 15) {
            for (int g = 0; g < 256; g += 15) {
                for (int b = 0; b < 256; b += 15) {
                    const Rgb colour{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                     static_cast<std::uint8_t>(b)};
                    canvas.FillRect({0, 0, 1, 1}, colour);
                    ASSERT_EQ(canvas.PixelAt(0, 0), palette[NearestPaletteIndex(palette, colour)]);
                }
            }
        }
    }
}

TEST(CanvasTest, LinesLeaveOutTheirEndPoint) {
    for (const int depth : kDepths) {
        Canvas canvas(20, 20, depth);
        canvas.MoveTo(2, 3);
        canvas.LineTo(6, 3, kWhite); // right
        canvas.LineTo(6, 7, kWhite); // down, from the previous end point
        canvas.LineTo(3, 7, kWhite); // left
        canvas.LineTo(3, 5, kWhite); // up
        const std::vector<std::pair<int, int>> expected = {{2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3},
                                                           {6, 4}, {6, 5}, {3, 6}, {6, 6}, {3, 7},
                                                           {4, 7}, {5, 7}, {6, 7}};
        auto drawn = PixelsOf(canvas, kWhite);
        std::sort(drawn.begin(), drawn.end(), [](auto a, auto b) {
            return std::pair(a.second, a.first) < std::pair(b.second, b.first);
        });
        EXPECT_EQ(drawn, expected) << depth;
    }

    Canvas slope(10, 10, 32);
    slope.MoveTo(0, 0);
    slope.LineTo(4, 2, kWhite);
    EXPECT_EQ(PixelsOf(slope, kWhite),
              (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    Canvas back(10, 10, 32);
    back.MoveTo(4, 9);
    back.LineTo(2, 3, kWhite);
    EXPECT_EQ(PixelsOf(back, kWhite).size(), 6u);
    EXPECT_EQ(back.PixelAt(4, 9), kWhite);
    EXPECT_EQ(back.PixelAt(2, 3), kBlack);
}

TEST(CanvasTest, FarOffLinesDrawTheirVisiblePart) {
    Canvas canvas(500, 300, 32);
    canvas.MoveTo(-2000000000, -2000000000);
    canvas.LineTo(2000000000, 2000000000, kWhite);
    EXPECT_EQ(PixelsOf(canvas, kWhite).size(), 300u);
    EXPECT_EQ(canvas.PixelAt(150, 150), kWhite);

    canvas.MoveTo(-2000000000, 10);
    canvas.LineTo(2000000000, 10, kRed);
    EXPECT_EQ(PixelsOf(canvas, kRed).size(), 500u);
}

TEST(CanvasTest, BlendMixesByCoverage) {
    for (const int depth : {24, 32}) {
        Canvas canvas(2, 1, depth);
        canvas.FillRect({0, 0, 2, 1}, kWhite);
        BlendPixel(canvas, 0, 0, {0, 0, 200}, 128);
        EXPECT_EQ(canvas.PixelAt(0, 0), (Rgb{127, 127, 227}));
        BlendPixel(canvas, 1, 0, kRed, 0);
        EXPECT_EQ(canvas.PixelAt(1, 0), kWhite);
        BlendPixel(canvas, 1, 0, kRed, 255);
        EXPECT_EQ(canvas.PixelAt(1, 0), kRed);
        BlendPixel(canvas, 2, 0, kRed, 255); // outside: ignored
    }
    Canvas vga(1, 1, 4);
    vga.FillRect({0, 0, 1, 1}, kWhite);
    BlendPixel(vga, 0, 0, kBlack, 64);
    EXPECT_EQ(vga.PixelAt(0, 0), (Rgb{192, 192, 192}));
}

// A block of coverages (a glyph) blends as its pixels would one by one, and
// only where it lies on the canvas.
TEST(CanvasTest, BlockBlendsAsItsPixelsWould) {
    const std::uint8_t coverage[] = {0, 64, 255, 9, 128, 200, 77, 1, 30, 250, 0, 180};
    for (const int depth : kDepths) {
        for (const auto& [x, y] : {std::pair{1, 1}, {-2, -1}, {3, 2}, {-9, 0}}) {
            Canvas block(5, 4, depth);
            block.FillRect({0, 0, 5, 4}, {90, 160, 230});
            Canvas pixels = block;
            block.BlendBlock(x, y, kBlue, coverage, 3, 3, 4);
            for (int row = 0; row < 3; ++row)
                for (int column = 0; column < 3; ++column)
                    BlendPixel(pixels, x + column, y + row, kBlue, coverage[row * 4 + column]);
            EXPECT_EQ(Rows(block), Rows(pixels)) << depth << " at " << x << "," << y;
        }
    }
}

TEST(CanvasTest, PixelRequestPacksRowsBottomFirst) {
    // Leftmost pixel in the most significant bits; rows padded to 4 bytes.
    Canvas mono(10, 2, 1);
    mono.FillRect({0, 1, 1, 2}, kWhite);
    mono.FillRect({9, 1, 10, 2}, kWhite);
    mono.FillRect({1, 0, 2, 1}, kWhite);
    EXPECT_EQ(Rows(mono), (std::vector<std::uint8_t>{0x80, 0x40, 0, 0, 0x40, 0, 0, 0}));

    Canvas vga(3, 1, 4);
    vga.FillRect({0, 0, 1, 1}, kRed);  // index 9
    vga.FillRect({2, 0, 3, 1}, kBlue); // index 12
    EXPECT_EQ(Rows(vga), (std::vector<std::uint8_t>{0x90, 0xC0, 0, 0}));

    Canvas high(1, 2, 16);
    high.FillRect({0, 0, 1, 1}, {255, 0, 8});
    EXPECT_EQ(Rows(high), (std::vector<std::uint8_t>{0, 0, 0, 0, 0x01, 0x7C, 0, 0}));

    Canvas rgb24(1, 1, 24);
    rgb24.FillRect({0, 0, 1, 1}, {1, 2, 3});
    EXPECT_EQ(Rows(rgb24), (std::vector<std::uint8_t>{3, 2, 1, 0}));
    Canvas rgb32(1, 1, 32);
    rgb32.FillRect({0, 0, 1, 1}, {1, 2, 3});
    EXPECT_EQ(Rows(rgb32), (std::vector<std::uint8_t>{3, 2, 1, 0}));

    // The colour table holds colours, blue first.
    BitmapInfo info = InfoFor(vga);
    std::vector<std::uint8_t> pixels(4);
    ASSERT_EQ(vga.GetPixelRows(0, 1, pixels, info), 1);
    EXPECT_EQ(info.colours[9].rgbRed, 255);
    EXPECT_EQ(info.colours[12].rgbBlue, 255);
    EXPECT_EQ(info.colours[12].rgbRed, 0);
}

TEST(CanvasTest, PixelRequestDeliversOnlyWhatFits) {
    Canvas canvas(4, 3, 8);
    canvas.FillRect({0, 0, 4, 1}, kWhite); // top row
    std::vector<std::uint8_t> pixels(12, 0xAA);

    BitmapInfo info = InfoFor(canvas);
    EXPECT_EQ(canvas.GetPixelRows(2, 5, pixels, info), 1);
    EXPECT_EQ(pixels[0], 255); // the top row is row 2 from the bottom
    EXPECT_EQ(pixels[4], 0xAA);
    EXPECT_EQ(canvas.GetPixelRows(3, 1, pixels, info), 0);
    EXPECT_EQ(canvas.GetPixelRows(0, 3, std::span(pixels).first(11), info), 0);

    BitmapInfo otherDepth = InfoFor(canvas);
    otherDepth.header.biBitCount = 24;
    EXPECT_EQ(canvas.GetPixelRows(0, 3, pixels, otherDepth), 0);
    BitmapInfo noTable = InfoFor(canvas);
    noTable.colours.clear();
    EXPECT_EQ(canvas.GetPixelRows(0, 3, pixels, noTable), 0);
}
