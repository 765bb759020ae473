// The window manager's core: construction, classes, the lookups every other part uses, and the
// trace lines of window events.
#include "window/window_manager.hpp"

#include "window/message_names.hpp"
#include "window/window_text.hpp"

namespace velorin::window {

WindowManager::WindowManager(kernel::Kernel& kernel, display::Display& display, gdi::Gdi& gdi)
    : m_kernel(kernel), m_display(display), m_gdi(gdi)
{
    // A process's windows go with it, and so do a thread's, as on Windows.
    kernel.addProcessExitHook([this](kernel::ProcessId pid) {
        endWindowsLocked([pid](const Window& w) { return w.pid == pid && !w.isChild(); });
    });
    kernel.addThreadExitHook(
        [this](kernel::ThreadId thread) { endWindowsLocked([thread](const Window& w) { return w.thread == thread; }); });
    for (const auto& [value, name] : systemMessageNames())
        m_messageNames[value] = name;
    registerSystemClasses();
}

ATOM WindowManager::registerClass(WindowClass windowClass)
{
    std::lock_guard lock(m_kernel.mutex());
    windowClass.atom = m_nextAtom;
    if (!m_classes.emplace(upper(windowClass.name), windowClass).second)
        return 0;
    return m_nextAtom++;
}

std::wstring WindowManager::classNameLocked(LPCWSTR nameOrAtom) const
{
    m_kernel.mutex().assertHeld();
    if (!nameOrAtom)
        return {};
    if (!IS_INTRESOURCE(nameOrAtom))
        return nameOrAtom;
    const auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(nameOrAtom));
    for (const auto& [name, cls] : m_classes) {
        if (cls.atom == atom)
            return cls.name;
    }
    return {};
}

Window* WindowManager::findLocked(HWND hwnd)
{
    m_kernel.mutex().assertHeld();
    return lookUpLocked(hwnd);
}

const Window* WindowManager::findLocked(HWND hwnd) const
{
    m_kernel.mutex().assertHeld();
    return lookUpLocked(hwnd);
}

Window* WindowManager::lookUpLocked(HWND hwnd) const
{
    m_kernel.mutex().assertHeld();
    if (m_found && hwnd == m_foundHandle)
        return m_found;
    const auto it = m_windows.find(hwnd);
    if (it == m_windows.end())
        return nullptr;
    m_foundHandle = hwnd;
    m_found = it->second.get();
    return m_found;
}

bool WindowManager::exists(HWND hwnd)
{
    std::lock_guard lock(m_kernel.mutex());
    return findLocked(hwnd) != nullptr;
}

Window& WindowManager::topLevelLocked(Window& window)
{
    m_kernel.mutex().assertHeld();
    Window* w = &window;
    while (w->isChild()) {
        Window* parent = findLocked(w->parent);
        if (!parent)
            break;
        w = parent;
    }
    return *w;
}

bool WindowManager::isDescendantLocked(HWND window, HWND ancestor)
{
    m_kernel.mutex().assertHeld();
    const Window* w = findLocked(window);
    while (w && w->isChild()) {
        if (w->parent == ancestor)
            return true;
        w = findLocked(w->parent);
    }
    return false;
}

void WindowManager::traceLocked(std::string_view event, const Window& window, std::string_view extra)
{
    m_kernel.mutex().assertHeld();
    std::string args = "hwnd=" + hex(window.hwnd);
    if (!extra.empty()) {
        args += ' ';
        args += extra;
    }
    m_kernel.effectLocked(event, args);
}

}  // namespace velorin::window
