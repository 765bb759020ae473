// What the checks read of the device: its windows by handle and class, its live threads, and the
// GDI objects held against the bitmaps the charging screen keeps.
#include "tests/reliability/device_checks.hpp"

#include "screen/close_notify_dlg.h"

#include <mutex>
#include <vector>

namespace velorin::reliability {

namespace {

// Window handles count up from here in steps of 4; a run makes far fewer than this many.
constexpr std::uintptr_t kFirstWindow = 0x10000;
constexpr std::uintptr_t kWindowsLooked = 4096;
constexpr kernel::ThreadId kThreadsLooked = 4096;

}  // namespace

bool promptUp(sim::Harness& harness)
{
    return harness.device().windows().buttonCentre(L"Dismiss").has_value();
}

std::optional<std::wstring> foreignWindowShown(sim::Harness& harness)
{
    std::vector<std::pair<HWND, std::wstring>> shown;
    {
        auto& windows = harness.device().windows();
        std::lock_guard lock(harness.device().kernel().mutex());
        for (std::uintptr_t h = kFirstWindow; h < kFirstWindow + 4 * kWindowsLooked; h += 4) {
            const window::Window* w = windows.findLocked(reinterpret_cast<HWND>(h));
            if (w && w->visible && !w->isChild())
                shown.emplace_back(w->hwnd, w->text);
        }
    }
    // The utility's windows are the charging screen and its prompt, by their classes (a title
    // that failed to be set does not make them another's).
    for (const auto& [hwnd, text] : shown) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (!dynamic_cast<CChargeScreenDlg*>(wnd) && !dynamic_cast<CCloseNotifyDlg*>(wnd))
            return text.empty() ? std::wstring(L"(untitled)") : text;
    }
    return std::nullopt;
}

int aliveThreads(sim::Harness& harness)
{
    std::lock_guard lock(harness.device().kernel().mutex());
    int alive = 0;
    for (kernel::ThreadId id = 1; id <= kThreadsLooked; ++id)
        alive += harness.device().scheduler().threadAliveLocked(id) ? 1 : 0;
    return alive;
}

std::size_t bitmapsHeld(const CChargeScreenDlg& screen)
{
    std::size_t held = 0;
    for (const CBitmap* b : {&screen.m_bmpBatteryFull, &screen.m_bmpBatteryEmpty, &screen.m_bmpChargeSymbol,
                             &screen.m_bmpGauge, &screen.m_bmpDigits})
        held += b->GetSafeHandle() ? 1 : 0;
    return held;
}

std::optional<std::string> gdiImbalance(sim::Harness& harness, const CChargeScreenDlg& screen, int allowance)
{
    if (promptUp(harness))
        return std::nullopt;
    const std::size_t bitmaps = bitmapsHeld(screen);
    const std::size_t objects = harness.device().gdi().liveObjects();
    const std::size_t dcs = harness.device().gdi().liveDCs();
    const auto allowed = static_cast<std::size_t>(allowance);
    if (objects > bitmaps + 2 * allowed || (allowed == 0 && objects != bitmaps) || dcs > allowed)
        return "GDI objects after a frame: " + std::to_string(objects) + " objects and " + std::to_string(dcs) +
               " device contexts live, where the window holds " + std::to_string(bitmaps) + " bitmaps";
    return std::nullopt;
}

}  // namespace velorin::reliability
