// What the system draws itself: window frames and captions, push buttons and static text.
#include "window/window_manager.hpp"

#include "gdi/gdi.hpp"
#include "gdi/wingdi.h"
#include "window/windowsx.h"

namespace velorin::window {

namespace {

constexpr gdi::Rgb kButtonShadow = 0x808080;
constexpr gdi::Rgb kButtonLight = 0xFFFFFF;
constexpr gdi::Rgb kButtonPressed = 0xA0A0A0;

void frameRect(gdi::Surface& s, const RECT& r, gdi::Rgb colour)
{
    s.fill(r.left, r.top, r.right, r.top + 1, colour);
    s.fill(r.left, r.bottom - 1, r.right, r.bottom, colour);
    s.fill(r.left, r.top, r.left + 1, r.bottom, colour);
    s.fill(r.right - 1, r.top, r.right, r.bottom, colour);
}

void dottedRect(gdi::Surface& s, const RECT& r, gdi::Rgb colour)
{
    for (LONG x = r.left; x < r.right; x += 2) {
        s.setPixel(x, r.top, colour);
        s.setPixel(x, r.bottom - 1, colour);
    }
    for (LONG y = r.top; y < r.bottom; y += 2) {
        s.setPixel(r.left, y, colour);
        s.setPixel(r.right - 1, y, colour);
    }
}
}  // namespace

void WindowManager::paintFrameLocked(Window& window)
{
    m_kernel.mutex().assertHeld();
    const NonClient nc = nonClientLocked(window);
    if (window.isChild() || !window.surface || (nc.left == 0 && nc.top == 0))
        return;
    gdi::Surface& s = *window.surface;
    const RECT all{0, 0, s.width(), s.height()};
    for (int i = 0; i < nc.left; ++i)
        frameRect(s, RECT{all.left + i, all.top + i, all.right - i, all.bottom - i}, kFrameColour);
    if (!nc.caption)
        return;
    const RECT bar{nc.left, nc.top - kCaptionHeight, s.width() - nc.right, nc.top};
    s.fill(bar.left, bar.top, bar.right, bar.bottom, kCaptionColour);
    RECT textArea{bar.left + 4, bar.top, bar.right - (nc.closeBox ? kCaptionHeight : 0), bar.bottom};
    m_gdi.drawTextLocked(s, textArea, window.text, kCaptionText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (nc.closeBox) {
        const RECT box{bar.right - kCaptionHeight + 2, bar.top + 2, bar.right - 2, bar.bottom - 2};
        frameRect(s, box, kCaptionText);
        // A cross inside the box.
        for (LONG i = 4; i < box.right - box.left - 4; ++i) {
            s.setPixel(box.left + i, box.top + i, kCaptionText);
            s.setPixel(box.right - 1 - i, box.top + i, kCaptionText);
        }
    }
}

void WindowManager::paintControl(HWND hwnd)
{
    std::lock_guard lock(m_kernel.mutex());
    Window* w = findLocked(hwnd);
    if (!w)
        return;
    Window& top = topLevelLocked(*w);
    validateLocked(*w);
    if (!top.surface)
        return;
    gdi::Surface& s = *top.surface;
    const RECT r = clientInSurfaceLocked(*w);
    const bool button = w->className == L"BUTTON";
    if (!button) {
        s.fill(r.left, r.top, r.right, r.bottom, w->background);
        const UINT align = (w->style & SS_CENTER) ? DT_CENTER : DT_LEFT;
        m_gdi.drawTextLocked(s, r, w->text, kTextColour, align | DT_WORDBREAK | DT_NOPREFIX);
        return;
    }
    s.fill(r.left, r.top, r.right, r.bottom, w->pressed ? kButtonPressed : w->background);
    frameRect(s, r, kTextColour);
    if (!w->pressed) {
        s.fill(r.left + 1, r.top + 1, r.right - 1, r.top + 2, kButtonLight);
        s.fill(r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1, kButtonShadow);
    }
    if ((w->style & 0x0F) == BS_DEFPUSHBUTTON)
        frameRect(s, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, kTextColour);
    m_gdi.drawTextLocked(s, r, w->text, w->enabled ? kTextColour : kButtonShadow,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (m_focus == hwnd)
        dottedRect(s, RECT{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3}, kTextColour);
}

void WindowManager::pressButton(HWND hwnd, bool down, LPARAM where)
{
    HWND parent = nullptr;
    int id = 0;
    {
        std::lock_guard lock(m_kernel.mutex());
        Window* w = findLocked(hwnd);
        if (!w)
            return;
        if (down) {
            w->pressed = true;
            setFocusLocked(hwnd);
            invalidateLocked(*w, std::nullopt, false);
            return;
        }
        const RECT client = clientRectLocked(*w);
        const POINT pt{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
        const bool inside = pt.x >= client.left && pt.x < client.right && pt.y >= client.top && pt.y < client.bottom;
        const bool clicked = w->pressed && inside;
        w->pressed = false;
        invalidateLocked(*w, std::nullopt, false);
        if (!clicked)
            return;
        parent = w->parent;
        id = w->id;
    }
    send(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

}  // namespace velorin::window
