#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A bit count rounded up to the nearest depth BMP files know: 1, 4, 8, 16, 24
// or 32 (0 counts as 4).
int RoundUpToBitmapDepth(int bitCount);

// The structures of an uncompressed BMP file. They are serialised field by
// field in little-endian order, so their layout in memory does not matter.

inline constexpr std::uint32_t BI_RGB = 0;
inline constexpr std::size_t kBitmapFileHeaderBytes = 14;
inline constexpr std::size_t kBitmapInfoHeaderBytes = 40;
inline constexpr std::size_t kRgbQuadBytes = 4;

struct BitmapFileHeader {
    std::uint16_t bfType = 0x4D42; // "BM"
    std::uint32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::uint32_t bfOffBits = 0;
};

struct BitmapInfoHeader {
    std::uint32_t biSize = kBitmapInfoHeaderBytes;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = BI_RGB;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

struct RgbQuad {
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
};

// The header block: the info header and room for biClrUsed colour table
// entries, which the pixel request fills for palette depths.
struct BitmapInfo {
    BitmapInfoHeader header;
    std::vector<RgbQuad> colours;
};

// Bytes of one pixel row at this depth, padded to a whole number of 32-bit units.
std::int64_t PaddedRowBytes(std::int64_t width, int bitCount);

void AppendBytes(std::vector<std::uint8_t>& out, const BitmapFileHeader& header);
// The info header followed by the whole colour table.
void AppendBytes(std::vector<std::uint8_t>& out, const BitmapInfo& info);
