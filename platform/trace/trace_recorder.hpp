// The one recorder of everything the device does to the world.
#pragma once

#include "trace/printable.hpp"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velorin::trace {

// When a line happened: device time in whole milliseconds since boot, the unit of the kernel's
// clock, which stamps every line.
using LineTime = std::int64_t;

enum class TraceLevel {
    Effects,  // what the device does to the world
    All,      // also every platform call of a program and every dispatched message
};

// Lines are `<ms> <event> <args>`. The recorder keeps them all, for tests and the end-of-run
// summary, and copies each to an optional sink as it is made so a long run shows progress.
// Callers serialise access (the kernel lock).
class TraceRecorder {
public:
    explicit TraceRecorder(TraceLevel level = TraceLevel::Effects) : m_level(level) {}

    TraceLevel level() const { return m_level; }
    bool wantsCalls() const { return m_level == TraceLevel::All; }
    void setSink(std::ostream* sink) { m_sink = sink; }
    // Off: lines go only to the sink, so that a run of days does not hold all of them.
    void setKeepLines(bool keep) { m_keepLines = keep; }

    void effect(LineTime at, std::string_view event, std::string_view args);
    // Call and dispatch lines; dropped unless the level is All.
    void detail(LineTime at, std::string_view event, std::string_view args);

    const std::vector<std::string>& lines() const { return m_lines; }
    // Lines whose event is `event` (the second field), whole.
    std::vector<std::string> linesOf(std::string_view event) const;
    // FNV-1a over every line, to compare runs.
    std::uint64_t hash() const;

private:
    void record(LineTime at, std::string_view event, std::string_view args);

    TraceLevel m_level;
    std::ostream* m_sink = nullptr;
    std::vector<std::string> m_lines;
    bool m_keepLines = true;
};

// Quotes text for a trace line: `"` and `\` escaped, control characters as \xNN.
std::string quoted(std::string_view text);

std::string quoted(std::wstring_view text);
// UTF-8 of a wide string; a code point that is not one becomes U+FFFD.
std::string narrow(std::wstring_view text);
void appendUtf8(std::string& out, char32_t c);
std::wstring widen(std::string_view utf8);

}  // namespace velorin::trace
