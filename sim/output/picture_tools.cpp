// Small picture operations shared by the GIF, the contact sheet and the live window.
#include "sim/output/picture_tools.hpp"

#include "gdi/text_layout.hpp"
#include "gdi/wingdi.h"
#include "resources/ui_font.hpp"
#include "trace/trace_recorder.hpp"

#include <algorithm>
#include <cstdint>
#include <string>

namespace velorin::sim {

gdi::Surface onSquare(const gdi::Surface& screen, int side)
{
    gdi::Surface square(side, side, kOutsideScreen);
    paste(square, screen, (side - screen.width()) / 2, (side - screen.height()) / 2);
    return square;
}

gdi::Surface shrinkToFit(const gdi::Surface& picture, int width, int height)
{
    if (picture.width() <= width && picture.height() <= height)
        return picture;
    // The scale is width / picture.width() or height / picture.height(), whichever is smaller;
    // kept as a fraction so that the result does not depend on floating point.
    const bool byWidth =
        static_cast<std::int64_t>(width) * picture.height() <= static_cast<std::int64_t>(height) * picture.width();
    const std::int64_t num = byWidth ? width : height;
    const std::int64_t den = byWidth ? picture.width() : picture.height();
    const int outWidth = std::max<int>(1, static_cast<int>(picture.width() * num / den));
    const int outHeight = std::max<int>(1, static_cast<int>(picture.height() * num / den));
    gdi::Surface out(outWidth, outHeight);
    for (int y = 0; y < outHeight; ++y) {
        const int y0 = static_cast<int>(y * den / num);
        const int y1 =
            std::max(y0 + 1, static_cast<int>(std::min<std::int64_t>((y + 1) * den / num, picture.height())));
        for (int x = 0; x < outWidth; ++x) {
            const int x0 = static_cast<int>(x * den / num);
            const int x1 =
                std::max(x0 + 1, static_cast<int>(std::min<std::int64_t>((x + 1) * den / num, picture.width())));
            std::uint32_t r = 0, g = 0, b = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx) {
                    const gdi::Rgb p = picture.pixel(sx, sy);
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    ++n;
                }
            }
            out.setPixel(x, y,
                         gdi::rgb(static_cast<std::uint8_t>((r + n / 2) / n),
                                  static_cast<std::uint8_t>((g + n / 2) / n),
                                  static_cast<std::uint8_t>((b + n / 2) / n)));
        }
    }
    return out;
}

void paste(gdi::Surface& to, const gdi::Surface& from, int x, int y)
{
    for (int row = std::max(0, -y); row < from.height() && y + row < to.height(); ++row) {
        const int first = std::max(0, -x);
        const int last = std::min(from.width(), to.width() - x);
        if (first >= last)
            continue;
        const auto source = from.pixels().begin() + static_cast<std::ptrdiff_t>(row) * from.width();
        std::copy(source + first, source + last,
                  to.pixels().begin() + static_cast<std::ptrdiff_t>(y + row) * to.width() + x + first);
    }
}

int textLineHeight()
{
    return resources::UiFont::system().lineHeight();
}

int drawTextLine(gdi::Surface& surface, int left, int top, int maxWidth, std::string_view utf8, gdi::Rgb colour)
{
    const resources::UiFont& font = resources::UiFont::system();
    std::wstring text = trace::widen(utf8);
    if (font.textWidth(text) > maxWidth) {
        const std::wstring ellipsis = font.glyph(U'\u2026') ? L"\u2026" : L"...";
        while (!text.empty() && font.textWidth(text + ellipsis) > maxWidth)
            text.pop_back();
        text += ellipsis;
    }
    const UINT format = DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
    const gdi::TextLayout layout = gdi::layoutText(font, text, format, maxWidth);
    const RECT area{left, top, left + maxWidth, top + font.lineHeight()};
    gdi::renderText(surface, area, area, layout, font, colour, format, std::nullopt);
    return layout.width();
}

}  // namespace velorin::sim
