// Tells cheaply whether the window manager's screen can have changed since the last look, so
// that a run sampled every few milliseconds composes the screen only when it must.
#pragma once

#include "boot/device.hpp"
#include "gdi/surface.hpp"
#include "power/brightness.hpp"

#include <vector>

namespace velorin::sim {

class ScreenWatch {
public:
    // True on the first look and whenever anything the composed screen is made of differs
    // from the last look: the display's size, the backlight, and each visible top-level
    // window's place and pixels, in z-order.
    bool changed(platform::Device& device);

private:
    struct Layer {
        HWND hwnd = nullptr;
        RECT rect{};
        gdi::Surface pixels;
    };

    bool m_looked = false;
    int m_width = 0;
    int m_height = 0;
    power::Backlight m_backlight;
    std::vector<Layer> m_layers;
};

}  // namespace velorin::sim
