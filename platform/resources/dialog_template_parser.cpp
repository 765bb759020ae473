// A dialog template read field by field: its header, menu, class, caption and font, then each
// item in the form the header announced.
#include "resources/dialog_template_parser.hpp"

#include "resources/byte_reader.hpp"

namespace velorin::resources {

namespace {
constexpr WORD kOrdinalMark = 0xFFFF;

// sz_Or_Ord: 0 for nothing, 0xFFFF and an ordinal, or UTF-16 text and its zero.
struct NameOrOrdinal {
    std::wstring text;
    WORD ordinal = 0;
    bool isOrdinal = false;
};

NameOrOrdinal readNameOrOrdinal(ByteReader& in, const char* what)
{
    const WORD first = in.u16();
    NameOrOrdinal out;
    if (first == kOrdinalMark) {
        out.ordinal = in.u16();
        out.isOrdinal = true;
    } else if (first != 0) {
        // The text starts with the unit just read.
        out.text = std::wstring(1, static_cast<wchar_t>(first)) + in.sz(what);
    }
    return out;
}

std::wstring ordinalText(WORD ordinal)
{
    return L"#" + std::to_wstring(ordinal);
}

DialogItem readItem(ByteReader& in, bool extended, std::size_t index)
{
    in.align(4);
    const std::string what = "item " + std::to_string(index + 1);
    DialogItem item;
    if (extended) {
        item.helpId = in.u32();
        item.exStyle = in.u32();
        item.style = in.u32();
    } else {
        item.style = in.u32();
        item.exStyle = in.u32();
    }
    item.x = in.i16();
    item.y = in.i16();
    item.cx = in.i16();
    item.cy = in.i16();
    // A DLGTEMPLATE keeps the id in 16 bits; 0xFFFF there is the same -1 as in a DLGTEMPLATEEX.
    item.id = extended ? in.i32() : in.i16();
    const NameOrOrdinal cls = readNameOrOrdinal(in, (what + "'s class").c_str());
    if (cls.isOrdinal)
        item.className = classNameOfOrdinal(cls.ordinal);
    else if (cls.text.empty())
        in.fail(what + " has no window class");
    else
        item.className = cls.text;
    const NameOrOrdinal title = readNameOrOrdinal(in, (what + "'s text").c_str());
    if (title.isOrdinal)
        item.textOrdinal = title.ordinal;
    else
        item.text = title.text;
    const WORD extra = in.u16();
    if (extended) {
        in.skip(extra);
    } else if (extra != 0) {
        // In a DLGITEMTEMPLATE the count includes its own word.
        if (extra < 2)
            in.fail(what + "'s creation data size " + std::to_string(extra) + " is too small");
        in.skip(extra - 2u);
    }
    return item;
}
}  // namespace

std::wstring classNameOfOrdinal(WORD ordinal)
{
    static const wchar_t* const kNames[] = {L"BUTTON", L"EDIT", L"STATIC", L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
    if (ordinal >= 0x0080 && ordinal <= 0x0085)
        return kNames[ordinal - 0x0080];
    return ordinalText(ordinal);
}

DialogTemplate parseDialogTemplate(std::span<const std::uint8_t> bytes, const std::string& source)
{
    ByteReader in(bytes, source);
    DialogTemplate t;
    if (bytes.size() >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF) {
        t.extended = true;
        in.skip(4);
        t.helpId = in.u32();
        t.exStyle = in.u32();
        t.style = in.u32();
    } else {
        t.style = in.u32();
        t.exStyle = in.u32();
    }
    const WORD count = in.u16();
    t.x = in.i16();
    t.y = in.i16();
    t.cx = in.i16();
    t.cy = in.i16();
    const NameOrOrdinal menu = readNameOrOrdinal(in, "the menu name");
    t.menu = menu.isOrdinal ? ordinalText(menu.ordinal) : menu.text;
    const NameOrOrdinal cls = readNameOrOrdinal(in, "the class name");
    t.windowClass = cls.isOrdinal ? ordinalText(cls.ordinal) : cls.text;
    t.caption = in.sz("the caption");
    if (t.style & kDsSetFont) {
        t.fontPointSize = in.u16();
        if (t.extended) {
            t.fontWeight = in.u16();
            t.fontItalic = in.u8() != 0;
            t.fontCharset = in.u8();
        }
        t.fontFace = in.sz("the font name");
    }
    for (std::size_t i = 0; i < count; ++i)
        t.items.push_back(readItem(in, t.extended, i));
    return t;
}

}  // namespace velorin::resources
