#include "LabelFont.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_TRUETYPE_TABLES_H

#include "FontFile.h"

namespace {

// Fixed here rather than taken from fontconfig's or the environment's hinting
// settings, so that label widths, and with them the centring, are the same on
// every machine with the same font.
constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL;
constexpr FT_UInt kInterpreterVersion = TT_INTERPRETER_VERSION_40;

// Labels are formatted in the C locale, so printable ASCII is all they hold;
// any other byte shows the font's missing-glyph shape.
constexpr unsigned char kFirstCached = 0x20;
constexpr unsigned char kLastCached = 0x7E;

struct Glyph {
    int left = 0; // from the pen position to the first column
    int top = 0;  // from the baseline up to the first row
    int width = 0;
    int rows = 0;
    int advance = 0;                    // whole pixels, so widths add up exactly
    std::vector<std::uint8_t> coverage; // rows * width, top row first
};

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryPtr = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceDeleter>;

bool RenderGlyph(FT_Face face, FT_UInt index, Glyph& glyph) {
    if (FT_Load_Glyph(face, index, kLoadFlags) != 0)
        return false;
    FT_GlyphSlot slot = face->glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows != 0)
        return false;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row) {
        const unsigned char* source =
            bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        std::copy_n(source, glyph.width, glyph.coverage.begin() + row * glyph.width);
    }
    return true;
}

class FreeTypeLabelFont final : public LabelFont {
public:
    static std::unique_ptr<LabelFont> Load(const FontFile& file, int cellHeight);

    void DrawText(Canvas& canvas, std::string_view text, const Rect& box, TextAlign align,
                  const TextStyle& style) const override;
    int TextWidth(std::string_view text) const override;
    int Ascent() const override { return ascent_; }
    int Descent() const override { return descent_; }

private:
    const Glyph& GlyphFor(char c) const;
    void DrawGlyph(Canvas& canvas, const Glyph& glyph, int penX, int baseline, const Rect& clip,
                   Rgb colour) const;

    int ascent_ = 0;
    int descent_ = 0;
    std::array<Glyph, kLastCached - kFirstCached + 1> printable_;
    Glyph missing_;
};

std::unique_ptr<LabelFont> FreeTypeLabelFont::Load(const FontFile& file, int cellHeight) {
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0)
        return nullptr;
    LibraryPtr library(rawLibrary);
    FT_UInt version = kInterpreterVersion;
    FT_Property_Set(library.get(), "truetype", "interpreter-version", &version);

    FT_Face rawFace = nullptr;
    if (FT_New_Face(library.get(), file.path.c_str(), file.faceIndex, &rawFace) != 0)
        return nullptr;
    FacePtr face(rawFace);
    if (!FT_IS_SCALABLE(face.get()) || face->units_per_EM == 0)
        return nullptr;

    // The cell is the font's Windows ascent plus descent, as the font's maker
    // meant it for a given "height"; fonts without them fall back to hhea.
    long ascender = face->ascender;
    long descender = -face->descender;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face.get(), FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascender = os2->usWinAscent;
        descender = os2->usWinDescent;
    }
    const long cellUnits = ascender + descender;
    if (ascender < 0 || descender < 0 || cellUnits <= 0)
        return nullptr;

    const double ppem =
        static_cast<double>(cellHeight) * face->units_per_EM / static_cast<double>(cellUnits);
    const auto size26Dot6 = static_cast<FT_F26Dot6>(std::lround(ppem * 64.0));
    if (FT_Set_Char_Size(face.get(), 0, size26Dot6, 72, 72) != 0)
        return nullptr;

    auto font = std::make_unique<FreeTypeLabelFont>();
    font->ascent_ = static_cast<int>(
        std::lround(static_cast<double>(cellHeight) * static_cast<double>(ascender) /
                    static_cast<double>(cellUnits)));
    font->descent_ = cellHeight - font->ascent_;
    for (unsigned c = kFirstCached; c <= kLastCached; ++c) {
        if (!RenderGlyph(face.get(), FT_Get_Char_Index(face.get(), c),
                         font->printable_[c - kFirstCached]))
            return nullptr;
    }
    if (!RenderGlyph(face.get(), 0, font->missing_))
        return nullptr;
    return font;
}

const Glyph& FreeTypeLabelFont::GlyphFor(char c) const {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < kFirstCached || byte > kLastCached)
        return missing_;
    return printable_[byte - kFirstCached];
}

int FreeTypeLabelFont::TextWidth(std::string_view text) const {
    int width = 0;
    for (char c : text)
        width += GlyphFor(c).advance;
    return width;
}

void FreeTypeLabelFont::DrawGlyph(Canvas& canvas, const Glyph& glyph, int penX, int baseline,
                                  const Rect& clip, Rgb colour) const {
    const int left = penX + glyph.left;
    const int top = baseline - glyph.top;
    const int firstRow = std::max(0, clip.top - top);
    const int endRow = std::min(glyph.rows, clip.bottom - top);
    const int firstColumn = std::max(0, clip.left - left);
    const int endColumn = std::min(glyph.width, clip.right - left);
    if (firstColumn >= endColumn || firstRow >= endRow)
        return;
    canvas.BlendBlock(left + firstColumn, top + firstRow, colour,
                      glyph.coverage.data() + firstRow * glyph.width + firstColumn,
                      endColumn - firstColumn, endRow - firstRow, glyph.width);
}

void FreeTypeLabelFont::DrawText(Canvas& canvas, std::string_view text, const Rect& box,
                                 TextAlign align, const TextStyle& style) const {
    const Rect clip{std::max(box.left, 0), std::max(box.top, 0),
                    std::min(box.right, canvas.Width()), std::min(box.bottom, canvas.Height())};
    if (clip.left >= clip.right || clip.top >= clip.bottom)
        return;

    const int width = TextWidth(text);
    int penX = box.left;
    if (align == TextAlign::Centre)
        penX += (box.right - box.left - width) / 2;
    if (style.opaque) {
        canvas.FillRect({std::max(penX, clip.left), clip.top, std::min(penX + width, clip.right),
                         std::min(box.top + ascent_ + descent_, clip.bottom)},
                        style.background);
    }
    const int baseline = box.top + ascent_;
    for (char c : text) {
        const Glyph& glyph = GlyphFor(c);
        DrawGlyph(canvas, glyph, penX, baseline, clip, style.colour);
        penX += glyph.advance;
    }
}

} // namespace

std::unique_ptr<LabelFont> LabelFont::Create(const char* faceName, int cellHeight) {
    if (!faceName || cellHeight <= 0)
        return nullptr;
    std::optional<FontFile> file = FindFontFile(faceName);
    if (!file)
        return nullptr;
    return FreeTypeLabelFont::Load(*file, cellHeight);
}
