#include "sim/output/sheet_moments.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <vector>

namespace velorin::sim {

namespace {

std::vector<std::string_view> fields(std::string_view line, std::size_t most)
{
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (out.size() < most && at < line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (end > at)
            out.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

std::string_view afterTime(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    return text.substr(at);
}

}  // namespace

std::string SheetMoments::commandText(const ScenarioLine& line)
{
    return std::string(afterTime(line.text));
}

void SheetMoments::traceLine(std::string_view line)
{
    // "<ms> dispatch hwnd=<h> <MSG> wparam=<n> lparam=<n>"
    const auto f = fields(line, 4);
    if (f.size() < 4 || f[1] != "dispatch" || f[3].rfind("WM_STEP_", 0) != 0)
        return;
    std::lock_guard lock(m_mutex);
    if (f[3] != "WM_STEP_FINISH") {
        m_lastStep = std::string(f[3]);
        return;
    }
    DeviceTime at = 0;
    std::from_chars(f[0].data(), f[0].data() + f[0].size(), at);
    std::string what = m_lastStep == "WM_STEP_POWER_ON"           ? "charging sequence done"
                       : m_lastStep == "WM_STEP_RESTORE_ROTATION" ? "battery sequence done"
                                                                  : "sequence done";
    m_noted = SequenceEnd{at, std::move(what)};
    m_lastStep.clear();
}

void SheetMoments::takeNoted()
{
    std::lock_guard lock(m_mutex);
    if (m_noted) {
        // A sequence restarted before the last one's picture was taken: the later end stands.
        m_waiting = std::move(m_noted);
        m_noted.reset();
    }
}

void SheetMoments::captureWaiting()
{
    takeNoted();
    if (!m_waiting)
        return;
    m_sheet.add(m_harness.now(), m_harness.screenAsSeen(), std::string(), m_waiting->what);
    m_waiting.reset();
}

bool SheetMoments::isExpectation(const ScenarioLine& line)
{
    return commandText(line).rfind("expect", 0) == 0;
}

void SheetMoments::beforeLine(const ScenarioLine& line)
{
    // An expectation only looks; the picture can wait for something that acts.
    if (!isExpectation(line))
        captureWaiting();
}

void SheetMoments::afterLine(const ScenarioLine& line, const std::optional<std::string>& failure)
{
    if (isExpectation(line) && !failure)
        return;
    std::string what = commandText(line);
    if (failure)
        what += " - failed";
    const std::string file = std::filesystem::path(line.where.file).filename().string();
    m_sheet.add(m_harness.now(), m_harness.screenAsSeen(), file + ":" + std::to_string(line.where.line),
                std::move(what));
}

void SheetMoments::afterStep()
{
    const DeviceTime now = m_harness.now();
    const power::Backlight backlight = m_harness.backlight();
    if (!m_backlight || !(*m_backlight == backlight)) {
        m_backlight = backlight;
        m_backlightSince = now;
    }
    takeNoted();
    if (!m_waiting)
        return;
    const bool steady = backlight.on && now - std::max(m_backlightSince, m_waiting->at) >= kSteadyFor;
    if (steady || now - m_waiting->at >= kWaitAtMost)
        captureWaiting();
}

void SheetMoments::finish()
{
    captureWaiting();
}

}  // namespace velorin::sim
