#include "BitmapFile.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

#include "ReplacementFile.h"

namespace {

std::vector<std::uint8_t> FileAndInfoHeaders(const BitmapInfo& info) {
    const BitmapInfoHeader& header = info.header;
    BitmapFileHeader fileHeader;
    fileHeader.bfOffBits = static_cast<std::uint32_t>(kBitmapFileHeaderBytes + header.biSize +
                                                      kRgbQuadBytes * header.biClrUsed);
    fileHeader.bfSize = fileHeader.bfOffBits + header.biSizeImage;
    std::vector<std::uint8_t> bytes;
    AppendBytes(bytes, fileHeader);
    AppendBytes(bytes, info);
    return bytes;
}

} // namespace

std::optional<BitmapInfo> BuildBitmapInfo(const Canvas& canvas) {
    constexpr std::uint16_t planes = 1;
    const auto bitCount = static_cast<std::uint16_t>(canvas.BitsPerPixel());
    const int rounded = RoundUpToBitmapDepth(static_cast<std::uint16_t>(planes * bitCount));
    const std::uint32_t colourCount = rounded < 24 ? 1u << rounded : 0;

    // The image size is a signed 32-bit field and the file size an unsigned one.
    const std::int64_t sizeImage = PaddedRowBytes(canvas.Width(), rounded) * canvas.Height();
    const std::int64_t fileSize =
        static_cast<std::int64_t>(kBitmapFileHeaderBytes + kBitmapInfoHeaderBytes +
                                  kRgbQuadBytes * colourCount) +
        sizeImage;
    if (sizeImage > std::numeric_limits<std::int32_t>::max() ||
        fileSize > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }

    BitmapInfo info;
    BitmapInfoHeader& header = info.header;
    header.biWidth = canvas.Width();
    header.biHeight = canvas.Height();
    header.biPlanes = planes;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<std::uint32_t>(sizeImage);
    header.biClrUsed = colourCount;
    try {
        info.colours.resize(colourCount);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return info;
}

FileStatus WriteBitmapFile(const char* fileNameText, const Canvas& canvas) {
    // The name is UTF-8 text on every system.
    const std::filesystem::path fileName(
        std::u8string_view(reinterpret_cast<const char8_t*>(fileNameText)));
    try {
        std::optional<BitmapInfo> info = BuildBitmapInfo(canvas);
        if (!info)
            return FileStatus::Failure("write", fileName, std::errc::file_too_large);
        std::vector<std::uint8_t> pixels(info->header.biSizeImage);
        // Every row or none: a short answer would leave part of the buffer
        // unset and end up in the file as a wrong picture.
        const int rows = info->header.biHeight;
        if (rows <= 0 || canvas.GetPixelRows(0, rows, pixels, *info) != rows)
            return FileStatus::Failure("write", fileName, std::errc::invalid_argument);
        const std::vector<std::uint8_t> headers = FileAndInfoHeaders(*info);
        ReplacementFile file(fileName);
        const std::span<const std::uint8_t> all(headers);
        const bool written = file.Write(all.first(kBitmapFileHeaderBytes)) &&
                             file.Write(all.subspan(kBitmapFileHeaderBytes)) && file.Write(pixels);
        return written ? file.Commit() : file.Status();
    } catch (const std::bad_alloc&) {
        // Nothing was replaced; the report goes on without a new picture.
        return FileStatus::Failure("write", fileName, std::errc::not_enough_memory);
    }
}
