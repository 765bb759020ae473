// When the contact sheet takes a picture: after each command that acts and at each sequence's end.
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
    m_stepNoted = true;
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

SheetMoments::Noted SheetMoments::takeNoted()
{
    std::lock_guard lock(m_mutex);
    Noted noted{m_stepNoted, std::move(m_noted)};
    m_stepNoted = false;
    m_noted.reset();
    return noted;
}

void SheetMoments::takeNotedIntoWaits()
{
    Noted noted = takeNoted();
    if (m_pending && noted.step)
        m_pending->sequence = true;
    // A sequence restarted before the last one's picture was taken: the later end stands.
    if (noted.end) {
        if (m_pending && m_pending->sequence)
            m_pending->end = std::move(noted.end);
        else
            m_waiting = std::move(noted.end);
    }
}

bool SheetMoments::steadySince(DeviceTime from) const
{
    return m_backlight && m_backlight->on && m_harness.now() - std::max(m_backlightSince, from) >= kSteadyFor;
}

void SheetMoments::capturePending(bool changedSinceCommand)
{
    Pending& p = *m_pending;
    SheetCell cell;
    cell.at = p.at;
    cell.where = std::move(p.where);
    cell.what = std::move(p.what);
    if (changedSinceCommand || p.end) {
        cell.pictureAt = m_harness.now();
        cell.pictureNote = p.end ? std::move(p.end->what) : p.sequence ? "sequence under way" : "next frame";
        m_sheet.add(std::move(cell), m_harness.screenAsSeen());
    } else {
        m_sheet.add(std::move(cell), p.seenAfter);
    }
    m_pending.reset();
}

void SheetMoments::captureWaiting()
{
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
    // An expectation only looks; the pictures can wait for something that acts.
    if (isExpectation(line))
        return;
    captureWaitsNow();
    m_inLine = true;
}

void SheetMoments::afterLine(const ScenarioLine& line, const std::optional<std::string>& failure)
{
    m_inLine = false;
    if (isExpectation(line) && !failure)
        return;
    std::string what = commandText(line);
    const std::string where =
        std::filesystem::path(line.where.file).filename().string() + ":" + std::to_string(line.where.line);
    if (failure) {
        // A failed expectation shows what it saw, at once, after what came before it.
        captureWaitsNow();
        m_sheet.add(m_harness.now(), m_harness.screenAsSeen(), where, what + " - failed");
        return;
    }
    m_pending = Pending{m_harness.now(), where, std::move(what), m_harness.screen(), m_harness.screenAsSeen(), false,
                        std::nullopt};
    takeNotedIntoWaits();
}

void SheetMoments::afterStep()
{
    const DeviceTime now = m_harness.now();
    const power::Backlight backlight = m_harness.backlight();
    if (!m_backlight || !(*m_backlight == backlight)) {
        m_backlight = backlight;
        m_backlightSince = now;
    }
    if (m_inLine)
        return;  // what the line sets off is the line's, noted once it is done
    takeNotedIntoWaits();
    if (m_waiting && (steadySince(m_waiting->at) || now - m_waiting->at >= kWaitAtMost))
        captureWaiting();
    if (!m_pending)
        return;
    if (m_pending->sequence) {
        const auto& end = m_pending->end;
        if ((end && (steadySince(end->at) || now - end->at >= kWaitAtMost)) || now - m_pending->at >= kSequenceAtMost)
            capturePending(true);
        return;
    }
    if (m_pending->at == now)
        return;  // still the command's own moment
    if (!(m_harness.screen() == m_pending->leftAs))
        capturePending(true);
    else if (now - m_pending->at >= kFrameWaitAtMost)
        capturePending(false);
}

void SheetMoments::finish()
{
    captureWaitsNow();
}

void SheetMoments::captureWaitsNow()
{
    takeNotedIntoWaits();
    if (m_pending)
        capturePending(!(m_harness.screen() == m_pending->leftAs));
    captureWaiting();
}

}  // namespace velorin::sim
