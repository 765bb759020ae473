// The watch over the streamed trace: call lines parsed, handles checked against the device's live
// ones, faults and leaks counted, and a thread that spins or runs away stopped with its lines.
#include "tests/reliability/call_watch.hpp"

#include "kernel/kernel.hpp"
#include "kernel/winerror.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace velorin::reliability {

namespace {

// Calls that end the handle at this argument, and how their result reads when they did.
struct Closer {
    std::string_view function;
    std::size_t arg;
    std::string_view success;  // the result text on success; empty: anything but "0"
};
constexpr Closer kClosers[] = {
    {"CloseHandle", 0, ""}, {"CloseMsgQueue", 0, ""}, {"StopPowerNotifications", 0, ""}, {"DeleteObject", 0, ""},
    {"DeleteDC", 0, ""},    {"ReleaseDC", 1, ""},     {"DestroyWindow", 0, ""},          {"RegCloseKey", 0, "0"},
};

// Values that name no object: HWND_TOPMOST, HWND_NOTOPMOST and HWND_BOTTOM.
constexpr std::uintptr_t kSpecial[] = {static_cast<std::uintptr_t>(-1), static_cast<std::uintptr_t>(-2), 1};
// Module handles (the program's image and the system library) and icons, which live as long
// as the process and are not what this watch is for.
constexpr std::uintptr_t kModulesFrom = 0x10000000;
constexpr std::uintptr_t kModulesTo = 0x20000000;
constexpr std::uintptr_t kIconsFrom = 0x00C10000;
constexpr std::uintptr_t kIconsTo = 0x00D00000;

const Closer* closerOf(std::string_view function)
{
    for (const Closer& closer : kClosers) {
        if (closer.function == function)
            return &closer;
    }
    return nullptr;
}

bool closed(const Closer& closer, const CallLine& call)
{
    if (closer.success.empty())
        return !call.result.empty() && call.result != "0";
    return call.result == closer.success;
}

std::optional<std::uintptr_t> handleValue(std::string_view arg)
{
    if (arg.size() < 3 || !arg.starts_with("0x"))
        return std::nullopt;
    std::uintptr_t value = 0;
    const auto [end, error] = std::from_chars(arg.data() + 2, arg.data() + arg.size(), value, 16);
    if (error != std::errc{} || end != arg.data() + arg.size())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<CallLine> parseCallLine(std::string_view line)
{
    const std::size_t at = line.find(" call ");
    if (at == std::string_view::npos || line.find(' ') != at)
        return std::nullopt;
    std::string_view rest = line.substr(at + 6);
    const std::size_t open = rest.find('(');
    if (open == std::string_view::npos)
        return std::nullopt;
    CallLine call{std::string(rest.substr(0, open)), {}, {}};
    // Arguments at depth 1, outside quoted text ("..." with \" and \\ escapes).
    int depth = 0;
    bool inText = false;
    std::string current;
    std::size_t i = open;
    for (; i < rest.size(); ++i) {
        const char c = rest[i];
        if (inText) {
            current += c;
            if (c == '\\' && i + 1 < rest.size())
                current += rest[++i];
            else if (c == '"')
                inText = false;
            continue;
        }
        if (c == '"') {
            inText = true;
            current += c;
        } else if (c == '(') {
            if (depth++ > 0)
                current += c;
        } else if (c == ')') {
            if (--depth == 0)
                break;
            current += c;
        } else if (c == ',' && depth == 1) {
            call.args.push_back(current);
            current.clear();
            if (i + 1 < rest.size() && rest[i + 1] == ' ')
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty() || !call.args.empty())
        call.args.push_back(current);
    const std::string_view after = i < rest.size() ? rest.substr(i + 1) : std::string_view();
    if (after.starts_with(" = "))
        call.result = std::string(after.substr(3));
    return call;
}

int CallWatch::LineBuffer::overflow(int c)
{
    if (c == traits_type::eof())
        return traits_type::not_eof(c);
    if (c == '\n') {
        m_owner.onLine(m_line);
        m_line.clear();
    } else {
        m_line += static_cast<char>(c);
    }
    return c;
}

std::streamsize CallWatch::LineBuffer::xsputn(const char* s, std::streamsize n)
{
    for (std::streamsize i = 0; i < n; ++i)
        overflow(static_cast<unsigned char>(s[i]));
    return n;
}

CallWatch::CallWatch() : m_buffer(*this), m_stream(&m_buffer) {}

void CallWatch::attach(sim::Harness& harness)
{
    m_harness = &harness;
    install();
}

void CallWatch::install()
{
    // Never fails a call: it only notes where each call begins. It must be the plan's first rule,
    // since the plan stops at the first rule that fails a call.
    m_harness->faults().failWhile("*", [this] {
        onCallStart();
        return false;
    });
}

void CallWatch::onCallStart()
{
    m_callStarts[kernel::Scheduler::current()].push_back(m_harness->trace().lines().size());
}

int CallWatch::faultsOn(std::string_view function) const
{
    const auto it = m_faults.find(function);
    return it == m_faults.end() ? 0 : it->second;
}

int CallWatch::gdiReleaseFaults() const
{
    int count = 0;
    for (std::string_view function : kGdiRelease)
        count += faultsOn(function);
    return count;
}

void CallWatch::onLine(const std::string& line)
{
    const std::size_t space = line.find(' ');
    if (space == std::string::npos)
        return;
    checkRunaway(line, space);
    const std::string_view event = std::string_view(line).substr(space + 1);
    if (event.starts_with("fault ")) {
        ++m_faults[std::string(event.substr(6))];
    } else if (event.starts_with("gdi.leak ")) {
        ++m_gdiLeaks;
    } else if (event.starts_with("window.show ")) {
        m_shown.push_back(std::string(event.substr(12)));
    } else if (event.starts_with("window.title ")) {
        m_titles.push_back(std::string(event.substr(13)));
    } else if (event.starts_with("call ") && m_harness) {
        if (const auto call = parseCallLine(line))
            checkCall(*call, line);
    }
}

void CallWatch::checkCall(const CallLine& call, const std::string& line)
{
    auto& starts = m_callStarts[kernel::Scheduler::current()];
    const std::size_t began = starts.empty() ? m_harness->trace().lines().size() : starts.back();
    if (!starts.empty())
        starts.pop_back();
    const Closer* closer = closerOf(call.function);
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        const auto value = handleValue(call.args[i]);
        if (!value || std::find(std::begin(kSpecial), std::end(kSpecial), *value) != std::end(kSpecial))
            continue;
        if ((*value >= kModulesFrom && *value < kModulesTo) || (*value >= kIconsFrom && *value < kIconsTo))
            continue;
        if (liveLocked(*value))
            continue;
        if (closer && closer->arg == i && closed(*closer, call))
            continue;
        if (destroyedDuring(began, call.args[i]))
            continue;
        m_violations.push_back("a call on a handle that is not live (" + call.args[i] + "): " + line);
    }
}

void CallWatch::checkRunaway(const std::string& line, std::size_t space)
{
    // Time stands still while a device thread runs: a thread that never blocks again would
    // fill the memory with its trace, so the run stops here with what it was doing.
    const std::string_view time = std::string_view(line).substr(0, space);
    if (time != m_lastTime) {
        m_lastTime = std::string(time);
        m_linesAtThisTime = 0;
        m_linesWithoutDispatch = 0;
        return;
    }
    // A loop that neither blocks nor handles a message spins: on the device it would take the
    // processor for as long as its calls fail.
    m_linesWithoutDispatch = line.find(" dispatch ") == std::string::npos ? m_linesWithoutDispatch + 1 : 0;
    if (m_linesWithoutDispatch == kSpinLines)
        m_violations.push_back("a thread spins: " + std::to_string(kSpinLines) +
                               " calls at one device time without blocking or handling a message, ending with " + line);
    if (++m_linesAtThisTime < kRunawayLines)
        return;
    const auto& lines = m_harness ? m_harness->trace().lines() : std::vector<std::string>{};
    std::fprintf(stderr, "runaway: %zu trace lines at device time %s ms without time moving on; the last:\n",
                 m_linesAtThisTime, m_lastTime.c_str());
    for (std::size_t i = lines.size() > 40 ? lines.size() - 40 : 0; i < lines.size(); ++i)
        std::fprintf(stderr, "  %s\n", lines[i].c_str());
    std::abort();
}

bool CallWatch::liveLocked(std::uintptr_t value) const
{
    platform::Device& device = m_harness->device();
    const auto pointer = reinterpret_cast<void*>(value);
    if (device.windows().findLocked(static_cast<HWND>(pointer)))
        return true;
    if (device.kernel().handlesLocked().find(static_cast<HANDLE>(pointer)))
        return true;
    if (device.registry().handlesLocked().find(static_cast<HKEY>(pointer)))
        return true;
    // The GDI's lookups report through the last error; the program's must stay as it was.
    const DWORD saved = kernel::lastError();
    kernel::setLastError(ERROR_SUCCESS);
    const bool object = device.gdi().getObjectLocked(static_cast<HGDIOBJ>(pointer), 0, nullptr) != 0 ||
                        kernel::lastError() != ERROR_INVALID_HANDLE;
    const bool dc = !object && device.gdi().textColorLocked(static_cast<HDC>(pointer)) != CLR_INVALID;
    kernel::setLastError(saved);
    return object || dc;
}

bool CallWatch::destroyedDuring(std::size_t from, const std::string& handle) const
{
    const auto& lines = m_harness->trace().lines();
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (lines[i].find(" call ") == std::string::npos)
            continue;
        const auto call = parseCallLine(lines[i]);
        if (!call)
            continue;
        const Closer* closer = closerOf(call->function);
        if (!closer || !closed(*closer, *call))
            continue;
        // A window takes its children with it.
        if (call->function == "DestroyWindow" || (closer->arg < call->args.size() && call->args[closer->arg] == handle))
            return true;
    }
    return false;
}

}  // namespace velorin::reliability
