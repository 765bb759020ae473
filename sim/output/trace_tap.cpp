// Hands each whole trace line to a listener, and passes on those at the level asked for.
#include "sim/output/trace_tap.hpp"

namespace velorin::sim {

TraceTap::TraceTap(std::ostream* out, trace::TraceLevel passOn, Listener listener)
    : std::ostream(nullptr), m_out(out), m_passOn(passOn), m_listener(std::move(listener)), m_buffer(*this)
{
    rdbuf(&m_buffer);
}

bool TraceTap::isEffect(std::string_view line)
{
    const auto first = line.find(' ');
    if (first == std::string_view::npos)
        return true;
    const std::string_view event = line.substr(first + 1, line.find(' ', first + 1) - (first + 1));
    return event != "dispatch" && event != "call";
}

void TraceTap::line(const std::string& text)
{
    if (m_listener)
        m_listener(text);
    if (m_out && (m_passOn == trace::TraceLevel::All || isEffect(text)))
        *m_out << text << '\n';
}

TraceTap::Buffer::int_type TraceTap::Buffer::overflow(int_type c)
{
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        put(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

std::streamsize TraceTap::Buffer::xsputn(const char* s, std::streamsize n)
{
    for (std::streamsize i = 0; i < n; ++i)
        put(s[i]);
    return n;
}

void TraceTap::Buffer::put(char c)
{
    if (c != '\n') {
        m_line += c;
        return;
    }
    m_tap.line(m_line);
    m_line.clear();
}

}  // namespace velorin::sim
