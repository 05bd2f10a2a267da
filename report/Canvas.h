#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct BitmapInfo;
class NearestColourCache;

// A colour as three 8-bit components.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
};

// left and top are inside the rectangle, right and bottom are not.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// An off-screen picture of 1, 4, 8, 16, 24 or 32 bits per pixel with just the
// drawing the chart needs. Pixels are kept at the canvas's own depth, so a
// colour drawn on a palette canvas becomes its nearest palette entry at once,
// as on a display of that depth. A new canvas is black.
class Canvas {
public:
    // Other depths are rounded up to the next of these; negative sizes count as 0.
    Canvas(int width, int height, int bitsPerPixel);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const { return bitsPerPixel_; }

    // Clipped to the canvas; an empty or inverted rectangle fills nothing.
    void FillRect(const Rect& rect, Rgb colour);

    void MoveTo(int x, int y);
    // From the current position up to, not including, (x, y); the current
    // position then moves to (x, y).
    void LineTo(int x, int y, Rgb colour);

    // Mixes colour over each pixel of a block by its coverage / 255
    // (anti-aliased text), clipped to the canvas. (x, y) is the block's top
    // left; `rows` rows of coverages, each `width` long and `stride` after
    // the one before.
    void BlendBlock(int x, int y, Rgb colour, const std::uint8_t* coverage, int width, int rows,
                    std::ptrdiff_t stride);

    // The colour the pixel shows; black outside the canvas.
    Rgb PixelAt(int x, int y) const;

    // The colour table of a palette canvas (8 bits and fewer), else empty.
    const std::vector<Rgb>& Palette() const;

    // The pixel request, as a device-independent bitmap would answer it:
    // copies rowCount rows starting at firstRow, counting from the bottom row,
    // bottom row first into pixels, in the format the header names, and fills
    // the colour table for palette depths. The header must name this canvas's
    // width, height and depth, uncompressed and bottom-up. Returns the number of
    // rows delivered, 0 when the header does not fit or pixels is too small.
    int GetPixelRows(int firstRow, int rowCount, std::span<std::uint8_t> pixels,
                     BitmapInfo& info) const;

private:
    // A pixel as the canvas stores it: a palette index, a 5-5-5 word or 0xRRGGBB.
    using PixelValue = std::uint32_t;

    PixelValue ValueFor(Rgb colour);
    Rgb ColourOf(PixelValue value) const;
    PixelValue ValueAt(int x, int y) const;
    void SetValue(int x, int y, PixelValue value);
    // The first byte of a pixel at 24 and 32 bits per pixel.
    std::uint8_t* TrueColourPixel(int x, int y);

    int width_;
    int height_;
    int bitsPerPixel_;
    std::size_t rowBytes_;
    // Top row first, each row padded to 4 bytes and laid out as a
    // device-independent bitmap of the canvas's depth lays out its rows.
    std::vector<std::uint8_t> pixels_;
    const std::vector<Rgb>* palette_;
    // Palette canvases only; copies of a canvas may share it, as it depends on
    // nothing but the palette.
    std::shared_ptr<NearestColourCache> nearest_;
    int currentX_ = 0;
    int currentY_ = 0;
};
