// Stands between the trace recorder and where its lines go: hands each whole line to a
// listener, and passes on only the lines of the level that was asked for. The device can then
// trace everything (what the contact sheet watches for) while a person still gets the effects.
#pragma once

#include "trace/trace_recorder.hpp"

#include <functional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace velorin::sim {

class TraceTap : public std::ostream {
public:
    using Listener = std::function<void(std::string_view line)>;

    // `out` may be null: then the lines only reach the listener.
    TraceTap(std::ostream* out, trace::TraceLevel passOn, Listener listener);
    TraceTap(const TraceTap&) = delete;
    TraceTap& operator=(const TraceTap&) = delete;

    // Whether a line is an effect (not a dispatch or a call line).
    static bool isEffect(std::string_view line);

private:
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(TraceTap& tap) : m_tap(tap) {}

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;

    private:
        void put(char c);

        TraceTap& m_tap;
        std::string m_line;
    };

    void line(const std::string& text);

    std::ostream* m_out;
    trace::TraceLevel m_passOn;
    Listener m_listener;
    Buffer m_buffer;
};

}  // namespace velorin::sim
