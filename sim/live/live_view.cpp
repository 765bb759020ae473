// What the live window shows and does, without SDL.
#include "sim/live/live_view.hpp"

#include "power/power_manager.hpp"
#include "sim/output/picture_tools.hpp"
#include "sim/output/readable_time.hpp"
#include "window/winuser.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace velorin::sim {

namespace {

constexpr gdi::Rgb kStripBackground = 0x2B2B2B;
constexpr gdi::Rgb kLabelColour = 0x9A9A9A;
constexpr gdi::Rgb kValueColour = 0xF0F0F0;
constexpr gdi::Rgb kKeyColour = 0x9EC3FF;
constexpr int kPadding = 8;

std::string lineStatusText(int status)
{
    switch (status) {
    case 0:
        return "battery (0)";
    case 1:
        return "AC (1)";
    case 2:
        return "backup (2)";
    default:
        return "unknown (" + std::to_string(status) + ")";
    }
}

}  // namespace

DeviceStatus readStatus(Harness& harness)
{
    platform::Device& device = harness.device();
    std::lock_guard lock(device.kernel().mutex());
    DeviceStatus status;
    const power::BatteryReading reading = device.battery().readingLocked();
    status.lineStatus = reading.acLineStatus;
    status.percent = reading.percent;
    status.backlight = device.backlight().seenLocked();
    status.powerState = std::string(power::stateName(device.powerManager().stateLocked()));
    status.degrees = device.display().degrees();
    status.now = device.scheduler().nowLocked();
    return status;
}

void apply(Harness& harness, LiveAction action)
{
    switch (action) {
    case LiveAction::Escape:
        harness.key(VK_ESCAPE);
        break;
    case LiveAction::Enter:
        harness.key(VK_RETURN);
        break;
    case LiveAction::TogglePlug:
        harness.power(readStatus(harness).lineStatus == 1 ? 0 : 1, std::nullopt);
        break;
    case LiveAction::PercentUp:
    case LiveAction::PercentDown: {
        const int percent = readStatus(harness).percent;
        const int from = percent > 100 ? 100 : percent;
        const int step = action == LiveAction::PercentUp ? 1 : -1;
        harness.power(std::nullopt, std::clamp(from + step, 0, 100));
        break;
    }
    case LiveAction::Rotate:
        harness.rotate((harness.orientationDegrees() + 90) % 360);
        break;
    case LiveAction::Quit:
        harness.requestStop();
        break;
    }
}

LiveView::LiveView(int panelWidth, int panelHeight) : m_side(std::max(panelWidth, panelHeight)) {}

gdi::Surface LiveView::render(const gdi::Surface& screenAsSeen, const DeviceStatus& status) const
{
    gdi::Surface picture(width(), height(), kStripBackground);
    paste(picture, onSquare(screenAsSeen, m_side), 0, 0);

    const int left = m_side + kPadding;
    const int valueLeft = left + 62;
    const int lineHeight = textLineHeight();
    int top = kPadding;
    const auto row = [&](const std::string& label, const std::string& value) {
        drawTextLine(picture, left, top, valueLeft - left, label, kLabelColour);
        drawTextLine(picture, valueLeft, top, width() - valueLeft - kPadding, value, kValueColour);
        top += lineHeight;
    };
    row("Charger", lineStatusText(status.lineStatus));
    row("Battery", status.percent > 100 ? "unknown (" + std::to_string(status.percent) + ")"
                                        : std::to_string(status.percent) + "%");
    row("Backlight", status.backlight.on ? "on, level " + std::to_string(status.backlight.level) : std::string("off"));
    row("Power", status.powerState);
    row("Display", std::to_string(status.degrees) + " degrees");
    row("Time", readableTime(status.now));

    top += lineHeight;
    const std::vector<std::pair<std::string, std::string>> keys{
        {"click", "tap"},       {"Esc, Enter", "keys"}, {"p", "plug, unplug"},
        {"+  -", "percentage"}, {"r", "rotate"},        {"q", "quit"},
    };
    for (const auto& [key, what] : keys) {
        drawTextLine(picture, left, top, valueLeft - left, key, kKeyColour);
        drawTextLine(picture, valueLeft, top, width() - valueLeft - kPadding, what, kLabelColour);
        top += lineHeight;
    }
    return picture;
}

std::optional<std::pair<int, int>> LiveView::screenPointAt(int windowX, int windowY, int screenWidth,
                                                           int screenHeight) const
{
    if (windowX < 0 || windowY < 0)
        return std::nullopt;
    const int x = windowX / kScale - (m_side - screenWidth) / 2;
    const int y = windowY / kScale - (m_side - screenHeight) / 2;
    if (x < 0 || y < 0 || x >= screenWidth || y >= screenHeight)
        return std::nullopt;
    return std::pair{x, y};
}

}  // namespace velorin::sim
