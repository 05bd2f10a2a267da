#pragma once

#include <cstddef>
#include <vector>

#include "Canvas.h"

// The fixed colour table a canvas of this depth draws with: black and white at
// 1 bit, the 16 VGA colours at 4 bits, 256 colours holding the 20 system
// colours at 8 bits; empty for the true-colour depths.
const std::vector<Rgb>& PaletteForDepth(int bitsPerPixel);

// The entry closest to the colour; of equally close entries, the first.
std::size_t NearestPaletteIndex(const std::vector<Rgb>& palette, Rgb colour);
