// What the live window shows and does, without SDL: the picture (the screen beside a status
// strip, drawn at one pixel a screen pixel and shown twice as large), where a click lands on
// the device's screen, and what each of the window's keys does to the device.
//
// The screen is shown as the program drew it, in its logical orientation, upright, as a person
// who turns the handheld sees it; its square leaves room for either orientation. So a click
// maps straight to logical screen pixels, which is what a tap takes.
#pragma once

#include "gdi/surface.hpp"
#include "power/brightness.hpp"
#include "sim/harness/harness.hpp"
#include "sim/live/live_display.hpp"

#include <optional>
#include <string>

namespace velorin::sim {

// The state the strip shows.
struct DeviceStatus {
    int lineStatus = 0;
    int percent = 0;
    power::Backlight backlight;
    std::string powerState;
    int degrees = 0;
    DeviceTime now = 0;
};

DeviceStatus readStatus(Harness& harness);

// Plays a key's action on the device: Esc and Enter are keys of the device, `p` plugs or
// unplugs the charger (line status 1 or 0), `+` and `-` move the percentage by one within 0 to
// 100 (an unknown one starts from 100), `r` turns the display a quarter further, `q` asks the
// harness to stop.
void apply(Harness& harness, LiveAction action);

class LiveView {
public:
    static constexpr int kScale = 2;
    static constexpr int kStripWidth = 150;

    // For a panel of `panelWidth` x `panelHeight` physical pixels.
    LiveView(int panelWidth, int panelHeight);

    // The whole picture at one pixel a screen pixel; the window shows it kScale times.
    int width() const { return m_side + kStripWidth; }
    int height() const { return m_side; }
    gdi::Surface render(const gdi::Surface& screenAsSeen, const DeviceStatus& status) const;

    // The logical screen pixel under a window pixel (window coordinates, kScale times the
    // picture's), or nothing off the screen. `screenWidth` x `screenHeight`: the logical screen.
    std::optional<std::pair<int, int>> screenPointAt(int windowX, int windowY, int screenWidth, int screenHeight) const;

private:
    int m_side;
};

}  // namespace velorin::sim
