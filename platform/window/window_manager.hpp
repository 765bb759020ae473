// The window manager: windows and their z-order, per-thread message queues, timers, painting,
// input and dialogs. Members named ...Locked run under the kernel lock; the others take it
// themselves and never hold it while a window procedure runs.
#pragma once

#include "display/display.hpp"
#include "display/orientation_listener.hpp"
#include "gdi/gdi.hpp"
#include "gdi/surface.hpp"
#include "kernel/kernel.hpp"
#include "resources/dialog_template.hpp"
#include "window/window.hpp"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace velorin::window {

// Colours of the system's own drawing.
inline constexpr gdi::Rgb kDialogFace = 0xD4D0C8;
inline constexpr gdi::Rgb kCaptionColour = 0x0A246A;
inline constexpr gdi::Rgb kCaptionText = 0xFFFFFF;
inline constexpr gdi::Rgb kFrameColour = 0x404040;
inline constexpr gdi::Rgb kTextColour = 0x000000;
inline constexpr int kCaptionHeight = 20;
inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr int kFrameWidth = 2;

// Which part of a top-level window is its frame, in window pixels.
struct NonClient {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool caption = false;
    bool closeBox = false;
};

class WindowManager final : public display::OrientationListener {
public:
    WindowManager(kernel::Kernel& kernel, display::Display& display, gdi::Gdi& gdi);
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Core (window_manager.cpp): classes and lookups.
    // The class's atom, or 0 when the name is taken.
    ATOM registerClass(WindowClass windowClass);
    // A class name as a program gives it, a string or an atom, as the class's name; empty for an
    // atom that names no class.
    std::wstring classNameLocked(LPCWSTR nameOrAtom) const;
    Window* findLocked(HWND hwnd);
    bool exists(HWND hwnd);
    const Window* findLocked(HWND hwnd) const;
    Window& topLevelLocked(Window& window);
    display::Display& display() { return m_display; }

    // Creation and destruction (window_lifecycle.cpp).
    HWND create(DWORD exStyle, const std::wstring& className, const std::wstring& title, DWORD style, RECT rect,
                HWND parent, int id, LPVOID createParam);
    bool destroy(HWND hwnd);

    // Visibility, z-order, activation, focus, enabling and titles, with their trace events; lookups
    // by class and title (window_zorder.cpp).
    // Hiding passes the activation on unless `passActivation` is false (SetWindowPos hides
    // without it, as Windows does).
    bool showLocked(Window& window, bool visible, bool passActivation = true);
    bool isShownLocked(const Window& window);
    void setTopmostLocked(Window& window, bool topmost);
    void raiseLocked(Window& window);
    // A child's place among its siblings: after `insertAfter` when that is one, else at the top
    // or, for HWND_BOTTOM, the bottom.
    void placeChildLocked(Window& child, HWND insertAfter);
    // A top-level window's place: after `insertAfter` when that is a top-level window (taking its
    // topmost state), at the bottom for HWND_BOTTOM (no longer topmost), else raised.
    void placeTopLevelLocked(Window& window, HWND insertAfter);
    const std::vector<HWND>& zOrderLocked() const
    {
        m_kernel.mutex().assertHeld();
        return m_zOrder;
    }
    // False when the window is disabled: it cannot be activated, and nothing changes.
    bool setForegroundLocked(HWND hwnd);
    HWND foregroundLocked() const
    {
        m_kernel.mutex().assertHeld();
        return m_foreground;
    }
    HWND setFocusLocked(HWND hwnd);
    HWND focusLocked() const
    {
        m_kernel.mutex().assertHeld();
        return m_focus;
    }
    bool enableLocked(Window& window, bool enable);
    void setTextLocked(Window& window, std::wstring text);
    HWND findTopLevelLocked(const std::wstring* className, const std::wstring* title) const;
    // The topmost top-level window with this title that has no owner: a program's main window,
    // not one of its dialogs.
    HWND findUnownedLocked(const std::wstring& title) const;

    // Frames and rectangles (window_geometry.cpp).
    NonClient nonClientLocked(const Window& window) const;
    // The window's client area in the pixels of its top-level window's surface.
    RECT clientInSurfaceLocked(const Window& window);
    RECT clientRectLocked(const Window& window) const;
    RECT screenRectLocked(const Window& window);
    // Where a window's device context draws: its top-level surface, client origin and clip.
    std::optional<gdi::WindowTarget> windowTargetLocked(HWND hwnd);
    void moveLocked(Window& window, RECT rect, bool repaint);

    // Queues (window_queue.cpp).
    bool post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool postToThreadLocked(kernel::ThreadId thread, const MSG& message);
    // PostThreadMessageW's work: fails for a thread with no queue yet.
    bool postThreadMessage(kernel::ThreadId thread, UINT message, WPARAM wParam, LPARAM lParam);
    void postInputLocked(kernel::ThreadId thread, const MSG& message);
    void postQuit(int code);
    // What waits in the queues for a window that is going; a WM_QUIT posted to it stays as its
    // thread's quit.
    void dropQueuedForLocked(HWND hwnd);
    bool translate(const MSG& message);
    // FALSE for WM_QUIT, -1 for a filter that names no window. With `remove` false, peekMessage
    // only looks (PeekMessage without PM_REMOVE).
    BOOL getMessage(MSG& message, HWND filter, UINT first, UINT last);
    bool peekMessage(MSG& message, HWND filter, UINT first, UINT last, bool remove);

    // Window procedures: sending, dispatch and the default procedure (window_dispatch.cpp).
    LRESULT send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool* delivered = nullptr);
    LRESULT dispatch(const MSG& message);
    LRESULT callProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT defWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Names for dispatch lines of messages the system does not know.
    void nameMessage(UINT message, std::string name);
    std::string messageName(UINT message) const;

    // Timers (window_timers.cpp).
    UINT_PTR setTimerLocked(HWND hwnd, UINT_PTR id, UINT period, TIMERPROC proc);
    bool killTimerLocked(HWND hwnd, UINT_PTR id);

    // Painting (window_painting.cpp).
    void invalidateLocked(Window& window, std::optional<RECT> rect, bool erase);
    void validateLocked(Window& window)
    {
        m_kernel.mutex().assertHeld();
        window.invalid.reset(), window.erasePending = false;
    }
    // Everything on the screen is invalid again (a rotation, a change of brightness).
    void invalidateAllLocked();
    // A turn of the display: everything invalid, then each top-level window told.
    std::vector<HWND> orientationChangedLocked() override;
    void tellOrientationChanged(HWND window) override;
    // BeginPaint and EndPaint: the frame drawn, the background erased through WM_ERASEBKGND
    // when asked for, the window validated; null without a device context.
    HDC beginPaint(HWND hwnd, PAINTSTRUCT& paint);
    // A window just shown is erased before the call that showed it returns, as on Windows; its
    // paint waits for the queue to be empty.
    void eraseShown(HWND hwnd);
    bool endPaint(const PAINTSTRUCT& paint);
    // The screen: the desktop and the visible top-level surfaces composed in z-order, logical
    // orientation.
    gdi::Surface composeScreen();
    gdi::Surface composeScreenLocked();
    // A drawing through GetDC(NULL): each pixel that differs between the two pictures goes to
    // the desktop and to every visible top-level surface under it.
    void drawOnScreenLocked(const gdi::Surface& before, const gdi::Surface& after);

    // Input from the world, in logical screen pixels (window_input.cpp).
    void tap(int x, int y);
    void key(UINT virtualKey);
    // SendInput's one event: 1 when taken, 0 for a kind the device has no source of.
    UINT sendInputLocked(const INPUT& input);
    // The visible push button whose text is `text`, for `click` lines.
    std::optional<POINT> buttonCentre(const std::wstring& text);

    // Dialogs (dialog_manager.cpp).
    INT_PTR dialogBox(const resources::DialogTemplate& dialogTemplate, HWND owner, DLGPROC proc, LPARAM param);
    bool endDialog(HWND dialog, INT_PTR result);
    bool isDialogMessage(HWND dialog, const MSG& message);
    LRESULT defDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    // The system's drawing: frames and captions of top-level windows, and its controls (chrome.cpp).
    void paintFrameLocked(Window& window);
    void paintControl(HWND hwnd);
    void pressButton(HWND hwnd, bool down, LPARAM where);

private:
    // Core.
    bool isDescendantLocked(HWND window, HWND ancestor);
    void traceLocked(std::string_view event, const Window& window, std::string_view extra = {});
    bool tracedLocked(const Window& window) const
    {
        m_kernel.mutex().assertHeld();
        return !window.isChild();
    }

    // Creation and destruction.
    void destroyLocked(Window& window);
    void forgetLocked(HWND hwnd);
    // Destroys, without messages, the windows that `doomed` picks, as when their process or
    // thread ends.
    void endWindowsLocked(const std::function<bool(const Window&)>& doomed);

    // Dialogs: the item with this id, the tab stop that Tab moves to, and DM_SETDEFID's work.
    HWND childWithIdLocked(HWND parent, int id);
    HWND nextTabStopLocked(HWND dialog, HWND from);
    void setDefaultIdLocked(HWND dialog, WORD id);
    // dialogBox's steps: the owner disabled and the dialog placed (nothing for a bad owner); the
    // dialog and then its items made (the first tab stop; nothing when one cannot be made);
    // WM_INITDIALOG and the dialog shown (nothing when it is gone, else whether it is up); the
    // modal loop; the owner enabled again and the dialog destroyed, with its result.
    std::optional<RECT> disableOwnerAndPlaceDialog(const resources::DialogTemplate& dialogTemplate, HWND& owner);
    HWND createDialogWindow(const resources::DialogTemplate& dialogTemplate, const RECT& where, HWND owner,
                            DLGPROC proc);
    std::optional<HWND> createDialogItems(const resources::DialogTemplate& dialogTemplate, HWND dialog, HWND owner);
    std::optional<bool> startDialog(HWND dialog, HWND firstTabStop, LPARAM param);
    void runModalLoop(HWND dialog);
    INT_PTR finishDialog(HWND dialog, HWND owner, INT_PTR result);

    // Z-order.
    void activateNextLocked(HWND leaving);
    // Whether the focus is this window or one of its descendants.
    bool holdsFocusLocked(const Window& window);

    // Queues.
    ThreadQueue& queueLocked(kernel::ThreadId thread)
    {
        m_kernel.mutex().assertHeld();
        return m_queues[thread];
    }
    bool matches(const MSG& message, HWND filter, UINT first, UINT last);
    std::optional<MSG> takeLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last, bool remove);
    bool readyLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last);
    // Whether a window filter is a handle of no window (not NULL, nor one meaning thread
    // messages); sets the error when it is.
    bool filterNamesNoWindowLocked(HWND filter);

    // Window procedures.
    // Runs one message sent to this thread by another, if one waits; true when it did.
    bool runOneSentMessage(std::unique_lock<kernel::DeviceMutex>& lock, kernel::ThreadId thread);

    // Timers.
    kernel::DeviceTime nextTimerLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last);
    // The WM_TIMER owed to the thread that passes the filter, the earliest first; with `remove`
    // the timer moves on to its next tick.
    std::optional<MSG> dueTimerLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last, bool remove,
                                      kernel::DeviceTime now);

    // Painting.
    // A WM_PAINT for a shown window of the thread with something invalid, if one passes the filter.
    std::optional<MSG> paintMessageLocked(kernel::ThreadId thread, HWND filter, UINT first, UINT last,
                                          kernel::DeviceTime now);
    // DefWindowProc's WM_ERASEBKGND.
    LRESULT eraseBackground(HWND hwnd);

    // Input.
    Window* hitTestLocked(int x, int y, bool& inCloseBox);
    // A press or release of the pointer at (x, y), and of a key.
    void pointerLocked(int x, int y, bool down);
    void keyLocked(UINT virtualKey, bool down);

    // The system's own window classes (system_classes_api.cpp).
    void registerSystemClasses();

    Window* lookUpLocked(HWND hwnd) const;

    kernel::Kernel& m_kernel;
    display::Display& m_display;
    gdi::Gdi& m_gdi;
    std::map<std::wstring, WindowClass> m_classes;  // upper-case names
    std::map<HWND, std::unique_ptr<Window>> m_windows;
    // The window found last: a drawing call looks its window up several times.
    mutable HWND m_foundHandle = nullptr;
    mutable Window* m_found = nullptr;
    std::vector<HWND> m_zOrder;  // top-level windows, front first
    std::map<kernel::ThreadId, ThreadQueue> m_queues;
    std::vector<Timer> m_timers;
    std::map<UINT, std::string> m_messageNames;
    std::uintptr_t m_nextHandle = 0x10000;
    ATOM m_nextAtom = 0xC000;  // where Windows starts the atoms of registered names
    UINT_PTR m_nextThreadTimer = 1;
    HWND m_foreground = nullptr;
    HWND m_focus = nullptr;
    POINT m_cursor{};  // where the pointer was last, for input without a position
    gdi::Surface m_desktop;  // under the windows: what GetDC(NULL) drew there, black elsewhere
};

}  // namespace velorin::window
