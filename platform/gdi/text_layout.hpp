// Text in the device's UI font: lines broken and measured, then drawn with coverage blending.
#pragma once

#include "gdi/surface.hpp"
#include "kernel/windef.h"
#include "resources/ui_font.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velorin::gdi {

struct TextLine {
    std::wstring text;   // prefix marks removed
    int underline = -1;  // the character a '&' marked, or -1
    int width = 0;
};

struct TextLayout {
    std::vector<TextLine> lines;
    int lineHeight = 0;

    int width() const;
    int height() const { return lineHeight * static_cast<int>(lines.size()); }
};

// Breaks `text` into lines: at '\n' ("\r\n" once) unless DT_SINGLELINE; with DT_WORDBREAK also
// between words so that lines fit `maxWidth` (a word wider than that keeps a line of its own).
// Unless DT_NOPREFIX, "&x" underlines x and "&&" is one '&'.
TextLayout layoutText(const resources::UiFont& font, std::wstring_view text, UINT format, int maxWidth);

// Draws `layout` in `area` (surface pixels), placed as DT_CENTER / DT_RIGHT and DT_VCENTER /
// DT_BOTTOM say, clipped to `clip`. With a background each line's cell is filled first.
// Returns the top of the first line.
int renderText(Surface& surface, const RECT& clip, const RECT& area, const TextLayout& layout,
               const resources::UiFont& font, Rgb colour, UINT format, std::optional<Rgb> background);

}  // namespace velorin::gdi
