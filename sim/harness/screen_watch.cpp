// Whether the window manager's screen can have changed since the last look.
#include "sim/harness/screen_watch.hpp"

#include <mutex>

namespace velorin::sim {

namespace {

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

bool ScreenWatch::changed(platform::Device& device)
{
    std::lock_guard lock(device.kernel().mutex());
    window::WindowManager& windows = device.windows();
    bool differs = !m_looked || m_width != windows.display().width() || m_height != windows.display().height() ||
                   !(m_backlight == device.backlight().seenLocked());
    std::size_t index = 0;
    for (HWND hwnd : windows.zOrderLocked()) {
        const window::Window* w = windows.findLocked(hwnd);
        if (!w || !w->visible || !w->surface)
            continue;
        if (differs || index >= m_layers.size() || m_layers[index].hwnd != hwnd ||
            !sameRect(m_layers[index].rect, w->rect) || !(m_layers[index].pixels == *w->surface)) {
            differs = true;
            m_layers.resize(index + 1);
            m_layers[index] = Layer{hwnd, w->rect, *w->surface};
        }
        ++index;
    }
    if (index != m_layers.size()) {
        differs = true;
        m_layers.resize(index);
    }
    m_looked = true;
    m_width = windows.display().width();
    m_height = windows.display().height();
    m_backlight = device.backlight().seenLocked();
    return differs;
}

}  // namespace velorin::sim
