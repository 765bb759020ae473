// Prefix marks resolved, words wrapped to the width, and glyphs blended onto a surface by their
// coverage.
#include "gdi/text_layout.hpp"

#include "gdi/raster.hpp"
#include "gdi/wingdi.h"

#include <algorithm>

namespace velorin::gdi {

namespace {

const resources::Glyph* glyphOf(const resources::UiFont& font, wchar_t c)
{
    const resources::Glyph* g = font.glyph(static_cast<char32_t>(c));
    return g ? g : font.glyph(U'?');
}

int advanceOf(const resources::UiFont& font, wchar_t c)
{
    const resources::Glyph* g = glyphOf(font, c);
    return g ? g->advance : 0;
}

// One line as written: prefix marks resolved.
TextLine plainLine(const resources::UiFont& font, std::wstring_view text, bool prefixes)
{
    TextLine line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r')
            continue;
        if (prefixes && c == L'&') {
            if (++i == text.size())
                break;
            c = text[i];
            if (c != L'&')
                line.underline = static_cast<int>(line.text.size());
        }
        line.text += c;
    }
    for (const wchar_t c : line.text)
        line.width += advanceOf(font, c);
    return line;
}

// The words of `line` on as many lines as it takes to fit `maxWidth`.
void wrapLine(const resources::UiFont& font, TextLine line, int maxWidth, std::vector<TextLine>& out)
{
    const std::wstring& s = line.text;
    std::size_t start = 0;
    while (true) {
        // Take words while they fit; a first word always goes.
        std::size_t end = start, fitted = start;
        int width = 0, fittedWidth = 0;
        while (end < s.size()) {
            std::size_t wordEnd = s.find(L' ', end);
            if (wordEnd == std::wstring::npos)
                wordEnd = s.size();
            int w = width;
            for (std::size_t i = end; i < wordEnd; ++i)
                w += advanceOf(font, s[i]);
            if (fitted != start && w > maxWidth)
                break;
            fitted = wordEnd;
            fittedWidth = w;
            width = w;
            end = wordEnd;
            // The spaces after a word count only if another word follows on the line.
            while (end < s.size() && s[end] == L' ') {
                width += advanceOf(font, s[end]);
                ++end;
            }
        }
        TextLine part;
        part.text = s.substr(start, fitted - start);
        part.width = fittedWidth;
        if (line.underline >= static_cast<int>(start) && line.underline < static_cast<int>(fitted))
            part.underline = line.underline - static_cast<int>(start);
        out.push_back(std::move(part));
        start = fitted;
        while (start < s.size() && s[start] == L' ')
            ++start;
        if (start >= s.size())
            return;
    }
}

void drawGlyph(Surface& surface, const RECT& clip, const resources::Glyph& g, int penX, int baseline, Rgb colour)
{
    for (int gy = 0; gy < g.height; ++gy) {
        const int y = baseline - g.top + gy;
        if (y < clip.top || y >= clip.bottom)
            continue;
        for (int gx = 0; gx < g.width; ++gx) {
            const int x = penX + g.left + gx;
            const int coverage = g.coverage[static_cast<std::size_t>(gy * g.width + gx)];
            if (coverage == 0 || x < clip.left || x >= clip.right)
                continue;
            surface.setPixel(x, y, blend(surface.pixel(x, y), colour, coverage));
        }
    }
}

}  // namespace

int TextLayout::width() const
{
    int widest = 0;
    for (const TextLine& line : lines)
        widest = std::max(widest, line.width);
    return widest;
}

TextLayout layoutText(const resources::UiFont& font, std::wstring_view text, UINT format, int maxWidth)
{
    TextLayout layout;
    layout.lineHeight = font.lineHeight();
    const bool prefixes = (format & DT_NOPREFIX) == 0;
    if (format & DT_SINGLELINE) {
        std::wstring joined;
        for (const wchar_t c : text)
            if (c != L'\n' && c != L'\r')
                joined += c;
        layout.lines.push_back(plainLine(font, joined, prefixes));
        return layout;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        TextLine line = plainLine(font, text.substr(start, end - start), prefixes);
        if (format & DT_WORDBREAK)
            wrapLine(font, std::move(line), maxWidth, layout.lines);
        else
            layout.lines.push_back(std::move(line));
        if (end >= text.size())
            break;
        start = end + 1;
    }
    return layout;
}

int renderText(Surface& surface, const RECT& clip, const RECT& area, const TextLayout& layout,
               const resources::UiFont& font, Rgb colour, UINT format, std::optional<Rgb> background)
{
    const RECT limit = intersect(clip, boundsOf(surface));
    int top = area.top;
    if (format & DT_VCENTER)
        top = area.top + (area.bottom - area.top - layout.height()) / 2;
    else if (format & DT_BOTTOM)
        top = area.bottom - layout.height();
    int lineTop = top;
    for (const TextLine& line : layout.lines) {
        int x = area.left;
        if (format & DT_CENTER)
            x = area.left + (area.right - area.left - line.width) / 2;
        else if (format & DT_RIGHT)
            x = area.right - line.width;
        if (background)
            fillArea(surface, limit, RECT{x, lineTop, x + line.width, lineTop + layout.lineHeight}, *background);
        const int baseline = lineTop + font.ascent();
        for (std::size_t i = 0; i < line.text.size(); ++i) {
            const resources::Glyph* g = glyphOf(font, line.text[i]);
            if (!g)
                continue;
            drawGlyph(surface, limit, *g, x, baseline, colour);
            if (static_cast<int>(i) == line.underline)
                fillArea(surface, limit, RECT{x, baseline + 1, x + g->advance, baseline + 2}, colour);
            x += g->advance;
        }
        lineTop += layout.lineHeight;
    }
    return top;
}

}  // namespace velorin::gdi
