#include "Canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "BmpHeaders.h"
#include "Palette.h"

namespace {

std::uint8_t Expand5To8(std::uint32_t fiveBits) {
    return static_cast<std::uint8_t>((fiveBits << 3) | (fiveBits >> 2));
}

std::uint8_t Mix(std::uint8_t over, std::uint8_t under, std::uint8_t coverage) {
    return static_cast<std::uint8_t>((over * coverage + under * (255 - coverage) + 127) / 255);
}

} // namespace

Canvas::Canvas(int width, int height, int bitsPerPixel)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      bitsPerPixel_(RoundUpToBitmapDepth(bitsPerPixel)),
      rowBytes_(static_cast<std::size_t>(PaddedRowBytes(width_, bitsPerPixel_))),
      pixels_(rowBytes_ * static_cast<std::size_t>(height_)),
      palette_(&PaletteForDepth(bitsPerPixel_)),
      nearest_(palette_->empty() ? nullptr : std::make_shared<NearestColourCache>(*palette_)) {}

const std::vector<Rgb>& Canvas::Palette() const {
    return *palette_;
}

Canvas::PixelValue Canvas::ValueFor(Rgb colour) {
    switch (bitsPerPixel_) {
    case 16:
        return static_cast<PixelValue>(((colour.r >> 3) << 10) | ((colour.g >> 3) << 5) |
                                       (colour.b >> 3));
    case 24:
    case 32:
        return static_cast<PixelValue>((colour.r << 16) | (colour.g << 8) | colour.b);
    default:
        return static_cast<PixelValue>(nearest_->Nearest(colour));
    }
}

Rgb Canvas::ColourOf(PixelValue value) const {
    switch (bitsPerPixel_) {
    case 16:
        return {Expand5To8((value >> 10) & 0x1F), Expand5To8((value >> 5) & 0x1F),
                Expand5To8(value & 0x1F)};
    case 24:
    case 32:
        return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value)};
    default:
        return (*palette_)[value];
    }
}

Canvas::PixelValue Canvas::ValueAt(int x, int y) const {
    const std::uint8_t* row = pixels_.data() + static_cast<std::size_t>(y) * rowBytes_;
    const auto column = static_cast<std::size_t>(x);
    switch (bitsPerPixel_) {
    case 1:
        return (row[column / 8] >> (7 - column % 8)) & 1u;
    case 4:
        return (row[column / 2] >> (column % 2 == 0 ? 4 : 0)) & 0xFu;
    case 8:
        return row[column];
    case 16:
        return static_cast<PixelValue>(row[column * 2] | (row[column * 2 + 1] << 8));
    default: {
        const std::uint8_t* p = row + column * static_cast<std::size_t>(bitsPerPixel_ / 8);
        return static_cast<PixelValue>((p[2] << 16) | (p[1] << 8) | p[0]);
    }
    }
}

void Canvas::SetValue(int x, int y, PixelValue value) {
    std::uint8_t* row = pixels_.data() + static_cast<std::size_t>(y) * rowBytes_;
    const auto column = static_cast<std::size_t>(x);
    switch (bitsPerPixel_) {
    case 1: {
        const auto mask = static_cast<std::uint8_t>(0x80u >> (column % 8));
        row[column / 8] = static_cast<std::uint8_t>(value != 0 ? row[column / 8] | mask
                                                               : row[column / 8] & ~mask);
        break;
    }
    case 4: {
        std::uint8_t& byte = row[column / 2];
        byte = column % 2 == 0 ? static_cast<std::uint8_t>((byte & 0x0F) | (value << 4))
                               : static_cast<std::uint8_t>((byte & 0xF0) | value);
        break;
    }
    case 8:
        row[column] = static_cast<std::uint8_t>(value);
        break;
    case 16:
        row[column * 2] = static_cast<std::uint8_t>(value);
        row[column * 2 + 1] = static_cast<std::uint8_t>(value >> 8);
        break;
    default: {
        // The fourth byte of a 32-bit pixel stays zero from the allocation.
        std::uint8_t* p = row + column * static_cast<std::size_t>(bitsPerPixel_ / 8);
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value >> 16);
        break;
    }
    }
}

std::uint8_t* Canvas::TrueColourPixel(int x, int y) {
    return pixels_.data() + static_cast<std::size_t>(y) * rowBytes_ +
           static_cast<std::size_t>(x) * static_cast<std::size_t>(bitsPerPixel_ / 8);
}

void Canvas::FillRect(const Rect& rect, Rgb colour) {
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.right, width_);
    const int bottom = std::min(rect.bottom, height_);
    if (left >= right || top >= bottom) {
        return;
    }
    // The chart's lines and markers are fills; at true-colour depths the
    // bytes are written straight, as SetValue would write them.
    if (bitsPerPixel_ >= 24) {
        const std::size_t step = static_cast<std::size_t>(bitsPerPixel_ / 8);
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* p = TrueColourPixel(left, y);
            for (int x = left; x < right; ++x, p += step) {
                p[0] = colour.b;
                p[1] = colour.g;
                p[2] = colour.r;
            }
        }
        return;
    }
    const PixelValue value = ValueFor(colour);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            SetValue(x, y, value);
        }
    }
}

void Canvas::MoveTo(int x, int y) {
    currentX_ = x;
    currentY_ = y;
}

void Canvas::LineTo(int x, int y, Rgb colour) {
    const int fromX = currentX_;
    const int fromY = currentY_;
    MoveTo(x, y);
    if (fromY == y) {
        // Half-open towards the end point, whichever way the line runs.
        FillRect(x >= fromX ? Rect{fromX, y, x, y + 1} : Rect{x + 1, y, fromX + 1, y + 1}, colour);
        return;
    }
    if (fromX == x) {
        FillRect(y >= fromY ? Rect{x, fromY, x + 1, y} : Rect{x, y + 1, x + 1, fromY + 1}, colour);
        return;
    }

    // Step i of the walk lies i pixels along the major axis from the start and
    // i * minor / major along the other, rounded with halves going towards the
    // start, which is where Bresenham's error term puts it. Solving for i
    // directly lets the walk start at the canvas edge: a chart of wild values
    // may hand over coordinates far off the canvas, and walking every one of
    // those pixels would take seconds.
    const long long dx = static_cast<long long>(x) - fromX;
    const long long dy = static_cast<long long>(y) - fromY;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long major = xMajor ? dx : dy;
    const long long minor = xMajor ? dy : dx;
    const long long majorStep = major > 0 ? 1 : -1;
    const long long minorStep = minor > 0 ? 1 : -1;
    const long long majorStart = xMajor ? fromX : fromY;
    const long long minorStart = xMajor ? fromY : fromX;
    const long long majorLimit = xMajor ? width_ : height_;
    const auto steps = static_cast<std::uint64_t>(std::llabs(major));
    const auto rise = static_cast<std::uint64_t>(std::llabs(minor));

    // Steps whose major coordinate lies in [0, majorLimit).
    long long first = 0;
    long long last = std::llabs(major) - 1;
    if (majorStep > 0) {
        first = std::max(first, -majorStart);
        last = std::min(last, majorLimit - 1 - majorStart);
    } else {
        first = std::max(first, majorStart - (majorLimit - 1));
        last = std::min(last, majorStart);
    }

    // Both lengths are below 2^32, so their product fits 64 bits but twice it
    // may not: round the remainder on its own.
    const auto offsetAt = [steps, rise](std::uint64_t i) {
        const std::uint64_t product = i * rise;
        return static_cast<long long>(product / steps +
                                      (2 * (product % steps) + steps - 1) / (2 * steps));
    };
    const PixelValue value = ValueFor(colour);
    for (long long i = first; i <= last; ++i) {
        const long long along = majorStart + i * majorStep;
        const long long across = minorStart + minorStep * offsetAt(static_cast<std::uint64_t>(i));
        const long long px = xMajor ? along : across;
        const long long py = xMajor ? across : along;
        if (px >= 0 && px < width_ && py >= 0 && py < height_) {
            SetValue(static_cast<int>(px), static_cast<int>(py), value);
        }
    }
}

void Canvas::BlendBlock(int x, int y, Rgb colour, const std::uint8_t* coverage, int width, int rows,
                        std::ptrdiff_t stride) {
    const int firstColumn = std::max(0, -x);
    const int endColumn = std::min(width, width_ - x);
    const int firstRow = std::max(0, -y);
    const int endRow = std::min(rows, height_ - y);
    for (int row = firstRow; row < endRow; ++row) {
        const std::uint8_t* rowCoverage = coverage + row * stride;
        // At true-colour depths the bytes are mixed in place; the chart's
        // value labels blend millions of pixels.
        if (bitsPerPixel_ >= 24 && firstColumn < endColumn) {
            const std::size_t step = static_cast<std::size_t>(bitsPerPixel_ / 8);
            std::uint8_t* p = TrueColourPixel(x + firstColumn, y + row);
            for (int column = firstColumn; column < endColumn; ++column, p += step) {
                const std::uint8_t c = rowCoverage[column];
                if (c == 0)
                    continue;
                p[0] = Mix(colour.b, p[0], c);
                p[1] = Mix(colour.g, p[1], c);
                p[2] = Mix(colour.r, p[2], c);
            }
            continue;
        }
        for (int column = firstColumn; column < endColumn; ++column) {
            const std::uint8_t c = rowCoverage[column];
            if (c == 0)
                continue;
            const Rgb under = ColourOf(ValueAt(x + column, y + row));
            const Rgb mixed{Mix(colour.r, under.r, c), Mix(colour.g, under.g, c),
                            Mix(colour.b, under.b, c)};
            SetValue(x + column, y + row, ValueFor(mixed));
        }
    }
}

Rgb Canvas::PixelAt(int x, int y) const {
    if (x < 0 || x >= width_ || y < 0 || y >= height_) {
        return {};
    }
    return ColourOf(ValueAt(x, y));
}

int Canvas::GetPixelRows(int firstRow, int rowCount, std::span<std::uint8_t> pixels,
                         BitmapInfo& info) const {
    const BitmapInfoHeader& header = info.header;
    if (header.biWidth != width_ || header.biHeight != height_ || header.biPlanes != 1 ||
        header.biBitCount != bitsPerPixel_ || header.biCompression != BI_RGB) {
        return 0;
    }
    if (width_ == 0 || firstRow < 0 || rowCount <= 0 || firstRow >= height_) {
        return 0;
    }
    const int rows = std::min(rowCount, height_ - firstRow);
    if (pixels.size() / rowBytes_ < static_cast<std::size_t>(rows)) {
        return 0;
    }
    if (!palette_->empty()) {
        if (info.colours.size() < palette_->size()) {
            return 0;
        }
        for (std::size_t i = 0; i < palette_->size(); ++i) {
            const Rgb colour = (*palette_)[i];
            info.colours[i] = {colour.b, colour.g, colour.r, 0};
        }
    }
    for (int row = 0; row < rows; ++row) {
        const auto y = static_cast<std::size_t>(height_ - 1 - (firstRow + row));
        std::memcpy(pixels.data() + static_cast<std::size_t>(row) * rowBytes_,
                    pixels_.data() + y * rowBytes_, rowBytes_);
    }
    return rows;
}
