#include "Palette.h"

#include <cstdint>
#include <limits>

namespace {

std::vector<Rgb> MonochromePalette() {
    return {{0, 0, 0}, {255, 255, 255}};
}

// The order a 4-bit device-independent bitmap expects: dark colours, light
// grey, then grey and the bright colours.
std::vector<Rgb> VgaPalette() {
    return {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
            {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
}

// The 20 system colours keep the first and last ten places, as on a palette
// display; the 236 between hold a 6x6x6 colour cube without the corners the
// system colours already have, and a grey ramp between the cube's greys, so
// that any colour the chart asks for has a near neighbour and no colour
// appears twice.
std::vector<Rgb> SystemPalette() {
    std::vector<Rgb> palette = {{0, 0, 0},       {128, 0, 0},    {0, 128, 0},   {128, 128, 0},
                                {0, 0, 128},     {128, 0, 128},  {0, 128, 128}, {192, 192, 192},
                                {192, 220, 192}, {166, 202, 240}};
    const auto level = [](int step) { return static_cast<std::uint8_t>(step * 51); };
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                const bool corner = (r == 0 || r == 5) && (g == 0 || g == 5) && (b == 0 || b == 5);
                if (!corner) {
                    palette.push_back({level(r), level(g), level(b)});
                }
            }
        }
    }
    for (int i = 1; i <= 28; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / 29);
        palette.push_back({grey, grey, grey});
    }
    const std::vector<Rgb> lastTen = {
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};
    palette.insert(palette.end(), lastTen.begin(), lastTen.end());
    return palette;
}

} // namespace

const std::vector<Rgb>& PaletteForDepth(int bitsPerPixel) {
    static const std::vector<Rgb> monochrome = MonochromePalette();
    static const std::vector<Rgb> vga = VgaPalette();
    static const std::vector<Rgb> system = SystemPalette();
    static const std::vector<Rgb> none;
    switch (bitsPerPixel) {
    case 1:
        return monochrome;
    case 4:
        return vga;
    case 8:
        return system;
    default:
        return none;
    }
}

std::size_t NearestPaletteIndex(const std::vector<Rgb>& palette, Rgb colour) {
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].r - colour.r;
        const int dg = palette[i].g - colour.g;
        const int db = palette[i].b - colour.b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

std::size_t NearestColourCache::Nearest(Rgb colour) {
    const std::uint32_t packed =
        static_cast<std::uint32_t>(colour.r << 16 | colour.g << 8 | colour.b);
    Slot& slot = slots_[(packed * 2654435761u) >> 20];
    if (slot.key != packed + 1) {
        slot.key = packed + 1;
        slot.index = static_cast<std::uint8_t>(NearestPaletteIndex(*palette_, colour));
    }
    return slot.index;
}
