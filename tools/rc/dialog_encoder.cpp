#include "dialog_encoder.hpp"

#include "byte_sink.hpp"
#include "script_parser.hpp"

namespace velorin::rc {

namespace {
// sz_Or_Ord: 0 for nothing, 0xFFFF and the ordinal, or the text and its zero.
void nameOrOrdinal(ByteSink& out, const NameOrOrdinal& value)
{
    if (value.ordinal) {
        out.u16(0xFFFF);
        out.u16(*value.ordinal);
    } else {
        out.sz(value.name);
    }
}

void item(ByteSink& out, const ControlSpec& c, bool extended)
{
    out.align(4);
    if (extended) {
        out.u32(c.helpId);
        out.u32(c.exStyle);
        out.u32(c.style);
    } else {
        out.u32(c.style);
        out.u32(c.exStyle);
    }
    out.u16(static_cast<std::uint16_t>(c.x));
    out.u16(static_cast<std::uint16_t>(c.y));
    out.u16(static_cast<std::uint16_t>(c.cx));
    out.u16(static_cast<std::uint16_t>(c.cy));
    if (extended)
        out.u32(c.id);
    else
        out.u16(static_cast<std::uint16_t>(c.id));
    nameOrOrdinal(out, c.windowClass);
    nameOrOrdinal(out, c.text);
    out.u16(0);  // no creation data
}
}  // namespace

std::vector<std::uint8_t> encodeDialog(const DialogSpec& d)
{
    ByteSink out;
    if (d.extended) {
        out.u16(1);       // dlgVer
        out.u16(0xFFFF);  // signature
        out.u32(d.helpId);
        out.u32(d.exStyle);
        out.u32(d.style);
    } else {
        out.u32(d.style);
        out.u32(d.exStyle);
    }
    out.u16(static_cast<std::uint16_t>(d.controls.size()));
    out.u16(static_cast<std::uint16_t>(d.x));
    out.u16(static_cast<std::uint16_t>(d.y));
    out.u16(static_cast<std::uint16_t>(d.cx));
    out.u16(static_cast<std::uint16_t>(d.cy));
    nameOrOrdinal(out, d.menu);
    nameOrOrdinal(out, d.windowClass);
    out.sz(d.caption);
    if (d.font) {
        out.u16(d.font->pointSize);
        if (d.extended) {
            out.u16(d.font->weight);
            out.u8(d.font->italic);
            out.u8(d.font->charset);
        }
        out.sz(d.font->face);
    }
    for (const ControlSpec& c : d.controls)
        item(out, c, d.extended);
    return out.take();
}

}  // namespace velorin::rc
