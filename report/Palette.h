#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Canvas.h"

// The fixed colour table a canvas of this depth draws with: black and white at
// 1 bit, the 16 VGA colours at 4 bits, 256 colours holding the 20 system
// colours at 8 bits; empty for the true-colour depths.
const std::vector<Rgb>& PaletteForDepth(int bitsPerPixel);

// The entry closest to the colour; of equally close entries, the first.
std::size_t NearestPaletteIndex(const std::vector<Rgb>& palette, Rgb colour);

// Nearest entries remembered per colour: anti-aliased text asks for the same
// few mixtures again and again, and a full search of 256 entries for each of
// them is what made 8-bit text slow.
class NearestColourCache {
public:
    explicit NearestColourCache(const std::vector<Rgb>& palette) : palette_(&palette) {}

    std::size_t Nearest(Rgb colour);

private:
    struct Slot {
        std::uint32_t key = 0; // colour plus one, 0 for an empty slot
        std::uint8_t index = 0;
    };

    const std::vector<Rgb>* palette_;
    std::array<Slot, 4096> slots_{};
};
