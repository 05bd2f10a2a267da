#pragma once

#include <memory>
#include <string_view>

#include "Canvas.h"

enum class TextAlign { Left, Centre };

struct TextStyle {
    Rgb colour;
    bool opaque = true; // fill the text's own cells with background first
    Rgb background{255, 255, 255};
};

// The chart's label font: the best installed match for a face name at a given
// cell height (ascent + descent in pixels), rendered with grey-scale
// anti-aliasing.
class LabelFont {
public:
    // Null when no usable font is installed.
    static std::unique_ptr<LabelFont> Create(const char* faceName, int cellHeight);
    virtual ~LabelFont() = default;

    // Draws one line of text starting at the rectangle's top edge, from its
    // left edge or centred horizontally, clipped to the rectangle.
    virtual void DrawText(Canvas& canvas, std::string_view text, const Rect& box, TextAlign align,
                          const TextStyle& style) const = 0;

    // Width of the text's cells in pixels.
    virtual int TextWidth(std::string_view text) const = 0;

    // Pixels above and below the baseline; together the cell height.
    virtual int Ascent() const = 0;
    virtual int Descent() const = 0;
};
