#pragma once

#include <cstdint>
#include <vector>

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

    // Mixes colour over the pixel by coverage / 255 (anti-aliased text).
    void BlendPixel(int x, int y, Rgb colour, std::uint8_t coverage);

    // The colour the pixel shows; black outside the canvas.
    Rgb PixelAt(int x, int y) const;

    // The colour table of a palette canvas (8 bits and fewer), else empty.
    const std::vector<Rgb>& Palette() const;

private:
    // (the implementation decides the private members)
    int width_;
    int height_;
    int bitsPerPixel_;
};
