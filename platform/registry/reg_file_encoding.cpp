// A .reg file's bytes made text: UTF-16LE by its mark, else strict UTF-8 (Latin-1 for a REGEDIT4
// file), the rest refused with its line; and text written back in the encoding it came in.
#include "registry/reg_file_encoding.hpp"

#include "trace/trace_recorder.hpp"

#include <algorithm>
#include <optional>

namespace velorin::registry {

namespace {

constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

int lineAtEnd(const std::wstring& text)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), L'\n'));
}

[[noreturn]] void refuse(const std::string& fileName, int line, const std::string& what)
{
    throw RegFileError(fileName + ":" + std::to_string(line) + ": " + trace::printable(what));
}

std::wstring decodeUtf16Le(std::string_view bytes, const std::string& fileName)
{
    std::wstring text;
    const auto unitAt = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    if (i != bytes.size())
        refuse(fileName, lineAtEnd(text), "the file ends in the middle of a UTF-16 character (an odd number of bytes)");
    return text;
}

// Strict UTF-8; nothing when the bytes are not UTF-8, with `bad` at the first offending byte.
std::optional<std::wstring> decodeUtf8(std::string_view bytes, std::size_t& bad)
{
    std::wstring text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        char32_t c = lead;
        char32_t min = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, c = lead & 0x1F, min = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, c = lead & 0x0F, min = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, c = lead & 0x07, min = 0x10000;
        } else if (lead >= 0x80) {
            bad = i;
            return std::nullopt;
        }
        if (i + static_cast<std::size_t>(extra) >= bytes.size() && extra > 0) {
            bad = i;
            return std::nullopt;
        }
        for (int k = 1; k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(bytes[i + k]);
            if ((cont & 0xC0) != 0x80) {
                bad = i;
                return std::nullopt;
            }
            c = (c << 6) | (cont & 0x3F);
        }
        if (c < min || c > 0x10FFFF || isSurrogate(c)) {
            bad = i;
            return std::nullopt;
        }
        text += static_cast<wchar_t>(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return text;
}

void appendUtf16Le(std::string& out, char32_t c)
{
    const auto unit = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    if (c > 0x10FFFF)
        c = kReplacement;
    if (c >= 0x10000) {
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        unit(c);
    }
}

}  // namespace

DecodedRegFile decodeRegFile(std::string_view bytes, const std::string& fileName)
{
    if (bytes.starts_with(kUtf16LeBom))
        return {decodeUtf16Le(bytes.substr(kUtf16LeBom.size()), fileName), RegFileEncoding::Utf16Le};
    if (bytes.starts_with(kUtf16BeBom))
        refuse(fileName, 1, "UTF-16 big-endian files are not supported; save the file as UTF-16LE or UTF-8");
    // "W\0i\0..." is valid UTF-8 too, and would be refused for a header nobody can see.
    if (bytes.size() >= 4 && bytes[0] != '\0' && bytes[1] == '\0' && bytes[2] != '\0' && bytes[3] == '\0')
        refuse(fileName, 1, "the file looks like UTF-16 without its byte-order mark (a NUL after every character); "
                            "save it as UTF-16LE with the mark, or as UTF-8");
    const bool bom = bytes.starts_with(kUtf8Bom);
    const std::string_view body = bom ? bytes.substr(kUtf8Bom.size()) : bytes;
    std::size_t bad = 0;
    if (auto text = decodeUtf8(body, bad))
        return {std::move(*text), bom ? RegFileEncoding::Utf8Bom : RegFileEncoding::Utf8};
    if (!bom && body.starts_with("REGEDIT4")) {
        std::wstring text;
        for (char c : body)
            text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return {std::move(text), RegFileEncoding::Utf8};
    }
    const int line =
        1 + static_cast<int>(std::count(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(bad), '\n'));
    refuse(fileName, line, "the text is not valid UTF-8");
}

std::string encodeRegFile(std::wstring_view text, RegFileEncoding encoding)
{
    std::string out;
    if (encoding == RegFileEncoding::Utf16Le) {
        out.reserve(2 + text.size() * 2);
        out += kUtf16LeBom;
        for (wchar_t c : text)
            appendUtf16Le(out, static_cast<char32_t>(c));
        return out;
    }
    out.reserve(3 + text.size());
    if (encoding == RegFileEncoding::Utf8Bom)
        out += kUtf8Bom;
    for (wchar_t c : text)
        trace::appendUtf8(out, static_cast<char32_t>(c));
    return out;
}

}  // namespace velorin::registry
