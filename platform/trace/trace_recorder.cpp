// Trace lines streamed to the sink and, when asked, kept for lookups by event and the hash; and
// the UTF-8 and quoting that every line is written in.
#include "trace/trace_recorder.hpp"

#include <cstdio>

namespace velorin::trace {

void TraceRecorder::effect(LineTime at, std::string_view event, std::string_view args)
{
    record(at, event, args);
}

void TraceRecorder::detail(LineTime at, std::string_view event, std::string_view args)
{
    if (m_level == TraceLevel::All)
        record(at, event, args);
}

void TraceRecorder::record(LineTime at, std::string_view event, std::string_view args)
{
    if (!m_sink && !m_keepLines)
        return;
    std::string line = std::to_string(at);
    line += ' ';
    line += event;
    if (!args.empty()) {
        line += ' ';
        line += args;
    }
    if (m_sink)
        *m_sink << line << '\n';
    if (m_keepLines)
        m_lines.push_back(std::move(line));
}

std::vector<std::string> TraceRecorder::linesOf(std::string_view event) const
{
    std::vector<std::string> out;
    for (const auto& line : m_lines) {
        const auto first = line.find(' ');
        if (first == std::string::npos)
            continue;
        const auto second = line.find(' ', first + 1);
        const std::string_view name(line.data() + first + 1,
                                    (second == std::string::npos ? line.size() : second) - first - 1);
        if (name == event)
            out.push_back(line);
    }
    return out;
}

std::uint64_t TraceRecorder::hash() const
{
    std::uint64_t h = 1469598103934665603ull;
    for (const auto& line : m_lines) {
        for (unsigned char c : line) {
            h ^= c;
            h *= 1099511628211ull;
        }
        h ^= '\n';
        h *= 1099511628211ull;
    }
    return h;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string narrow(std::wstring_view text)
{
    std::string out;
    for (wchar_t wc : text)
        appendUtf8(out, static_cast<char32_t>(static_cast<std::uint32_t>(wc)));
    return out;
}

std::wstring widen(std::string_view utf8)
{
    std::wstring out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        std::uint32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
        bool valid = (lead < 0x80 || lead >= 0xC2) && lead < 0xF5 && i + extra < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(utf8[i + k]);
            valid = (cont & 0xC0) == 0x80;
            c = (c << 6) | (cont & 0x3F);
        }
        if (!valid) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string quoted(std::string_view text)
{
    return '"' + escaped(text, true) + '"';
}

std::string quoted(std::wstring_view text)
{
    return quoted(narrow(text));
}

}  // namespace velorin::trace
