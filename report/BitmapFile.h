#pragma once

#include <optional>

#include "BmpHeaders.h"
#include "Canvas.h"
#include "FileStatus.h"

// The canvas described as an uncompressed bottom-up bitmap of its own depth,
// with a zeroed colour table of biClrUsed entries; none when its size cannot
// be described in a BMP file.
std::optional<BitmapInfo> BuildBitmapInfo(const Canvas& canvas);

// Stores the canvas as a BMP file of its own depth. A failure of any step
// says why (ENOMEM without memory for the pixels); a file already of that
// name then keeps its old contents.
FileStatus WriteBitmapFile(const char* fileName, const Canvas& canvas);
