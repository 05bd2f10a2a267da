#include "BmpHeaders.h"

#include "LittleEndian.h"

namespace {

void Append16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    unsigned char bytes[2];
    PutLittleEndian16(bytes, value);
    out.insert(out.end(), bytes, bytes + 2);
}

void Append32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    unsigned char bytes[4];
    PutLittleEndian32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

void Append32(std::vector<std::uint8_t>& out, std::int32_t value) {
    Append32(out, static_cast<std::uint32_t>(value));
}

} // namespace

std::int64_t PaddedRowBytes(std::int64_t width, int bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

void AppendBytes(std::vector<std::uint8_t>& out, const BitmapFileHeader& header) {
    Append16(out, header.bfType);
    Append32(out, header.bfSize);
    Append16(out, header.bfReserved1);
    Append16(out, header.bfReserved2);
    Append32(out, header.bfOffBits);
}

void AppendBytes(std::vector<std::uint8_t>& out, const BitmapInfo& info) {
    const BitmapInfoHeader& h = info.header;
    Append32(out, h.biSize);
    Append32(out, h.biWidth);
    Append32(out, h.biHeight);
    Append16(out, h.biPlanes);
    Append16(out, h.biBitCount);
    Append32(out, h.biCompression);
    Append32(out, h.biSizeImage);
    Append32(out, h.biXPelsPerMeter);
    Append32(out, h.biYPelsPerMeter);
    Append32(out, h.biClrUsed);
    Append32(out, h.biClrImportant);
    for (const RgbQuad& quad : info.colours) {
        out.push_back(quad.rgbBlue);
        out.push_back(quad.rgbGreen);
        out.push_back(quad.rgbRed);
        out.push_back(quad.rgbReserved);
    }
}

int RoundUpToBitmapDepth(int bitCount) {
    if (bitCount == 1) {
        return 1;
    }
    for (const int depth : {4, 8, 16, 24}) {
        if (bitCount <= depth) {
            return depth;
        }
    }
    return 32;
}
