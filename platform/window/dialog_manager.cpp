// Dialogs: creation from a template, the modal loop, the default dialog procedure and the
// keyboard interface.
#include "window/window_manager.hpp"

#include "resources/dialog_units.hpp"

#include <algorithm>

namespace velorin::window {

namespace {

std::wstring upperText(std::wstring text)
{
    for (auto& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

}  // namespace

INT_PTR WindowManager::dialogBox(const resources::DialogTemplate& dialogTemplate, HWND owner, DLGPROC proc,
                                 LPARAM param)
{
    const std::optional<RECT> where = disableOwnerAndPlaceDialog(dialogTemplate, owner);
    if (!where)
        return -1;
    const HWND dialog = createDialogWindow(dialogTemplate, *where, owner, proc);
    if (!dialog)
        return -1;
    const std::optional<HWND> firstTabStop = createDialogItems(dialogTemplate, dialog, owner);
    if (!firstTabStop)
        return -1;
    const std::optional<bool> up = startDialog(dialog, *firstTabStop, param);
    if (up.value_or(false))
        runModalLoop(dialog);
    // A dialog destroyed before it was up is a failure (-1); one destroyed later ends with 0.
    return finishDialog(dialog, owner, up ? 0 : -1);
}

std::optional<RECT> WindowManager::disableOwnerAndPlaceDialog(const resources::DialogTemplate& dialogTemplate,
                                                              HWND& owner)
{
    std::lock_guard lock(m_kernel.mutex());
    if (owner) {
        Window* o = findLocked(owner);
        if (!o) {
            kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
            return std::nullopt;
        }
        owner = topLevelLocked(*o).hwnd;
        // The owner takes no input while its dialog is up.
        enableLocked(*findLocked(owner), false);
    }
    const RECT units{dialogTemplate.x, dialogTemplate.y, dialogTemplate.x + dialogTemplate.cx,
                     dialogTemplate.y + dialogTemplate.cy};
    const RECT client = resources::dialogUnitsToPixels(units);
    Window probe;
    probe.style = dialogTemplate.style;
    const NonClient nc = nonClientLocked(probe);
    POINT origin{0, 0};
    if (Window* o = findLocked(owner)) {
        const RECT ownerClient = clientInSurfaceLocked(*o);
        origin = POINT{o->rect.left + ownerClient.left, o->rect.top + ownerClient.top};
    }
    return RECT{origin.x + client.left, origin.y + client.top, origin.x + client.right + nc.left + nc.right,
                origin.y + client.bottom + nc.top + nc.bottom};
}

HWND WindowManager::createDialogWindow(const resources::DialogTemplate& dialogTemplate, const RECT& where,
                                       HWND owner, DLGPROC proc)
{
    const HWND dialog = create(dialogTemplate.exStyle, kDialogClass, dialogTemplate.caption,
                               (dialogTemplate.style & ~WS_VISIBLE) | WS_POPUP, where, owner, 0, nullptr);
    std::lock_guard lock(m_kernel.mutex());
    if (!dialog) {
        if (Window* o = findLocked(owner))
            enableLocked(*o, true);
        return nullptr;
    }
    findLocked(dialog)->dialog = DialogState{proc, 0, 0, false, 0};
    return dialog;
}

std::optional<HWND> WindowManager::createDialogItems(const resources::DialogTemplate& dialogTemplate, HWND dialog,
                                                     HWND owner)
{
    HWND firstTabStop = nullptr;
    for (const auto& item : dialogTemplate.items) {
        const RECT units{item.x, item.y, item.x + item.cx, item.y + item.cy};
        const HWND control = create(item.exStyle, item.className, item.text, item.style | WS_CHILD,
                                    resources::dialogUnitsToPixels(units), dialog, item.id, nullptr);
        // A control that cannot be made fails the dialog before its procedure hears of it.
        if (!control) {
            const DWORD error = kernel::lastError();
            destroy(dialog);
            std::lock_guard lock(m_kernel.mutex());
            if (Window* o = findLocked(owner))
                enableLocked(*o, true);
            kernel::setLastError(error);
            return std::nullopt;
        }
        if (!firstTabStop && (item.style & WS_TABSTOP) && (item.style & WS_VISIBLE) && !(item.style & WS_DISABLED))
            firstTabStop = control;
    }
    return firstTabStop;
}

std::optional<bool> WindowManager::startDialog(HWND dialog, HWND firstTabStop, LPARAM param)
{
    const LRESULT focusDefault = send(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), param);
    std::lock_guard lock(m_kernel.mutex());
    Window* w = findLocked(dialog);
    if (!w) {
        kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return std::nullopt;
    }
    if (focusDefault && firstTabStop)
        setFocusLocked(firstTabStop);
    if (w->dialog->ended)
        return false;
    showLocked(*w, true);
    setForegroundLocked(dialog);
    return true;
}

void WindowManager::runModalLoop(HWND dialog)
{
    for (bool ended = false; !ended;) {
        MSG message{};
        if (!getMessage(message, nullptr, 0, 0)) {
            // The loop outside sees WM_QUIT too; the dialog ends with its default button's id,
            // as under desktop Windows (Wine).
            postQuit(static_cast<int>(message.wParam));
            const LRESULT defaultId = send(dialog, DM_GETDEFID, 0, 0);
            std::lock_guard lock(m_kernel.mutex());
            if (Window* w = findLocked(dialog))
                w->dialog->result = HIWORD(static_cast<DWORD_PTR>(defaultId)) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
            return;
        }
        if (!isDialogMessage(dialog, message)) {
            translate(message);
            dispatch(message);
        }
        std::lock_guard lock(m_kernel.mutex());
        const Window* w = findLocked(dialog);
        ended = !w || w->dialog->ended;
    }
}

INT_PTR WindowManager::finishDialog(HWND dialog, HWND owner, INT_PTR result)
{
    {
        std::lock_guard lock(m_kernel.mutex());
        if (Window* w = findLocked(dialog))
            result = w->dialog->result;
        // The owner is enabled again before the dialog goes, so it can take the activation.
        if (Window* o = findLocked(owner)) {
            enableLocked(*o, true);
            if (o->visible)
                setForegroundLocked(owner);
        }
    }
    if (exists(dialog))
        destroy(dialog);
    return result;
}

HWND WindowManager::childWithIdLocked(HWND parent, int id)
{
    m_kernel.mutex().assertHeld();
    const Window* w = findLocked(parent);
    for (HWND child : w ? w->children : std::vector<HWND>{}) {
        if (const Window* c = findLocked(child); c && c->id == id)
            return child;
    }
    return nullptr;
}

HWND WindowManager::nextTabStopLocked(HWND dialog, HWND from)
{
    m_kernel.mutex().assertHeld();
    const Window* w = findLocked(dialog);
    if (!w || w->children.empty())
        return nullptr;
    const std::vector<HWND>& items = w->children;
    const auto at = std::find(items.begin(), items.end(), from);
    const std::size_t start = at == items.end() ? items.size() - 1 : static_cast<std::size_t>(at - items.begin());
    // The next visible, enabled tab stop after the focus, round the dialog's items in order.
    for (std::size_t step = 1; step <= items.size(); ++step) {
        const Window* c = findLocked(items[(start + step) % items.size()]);
        if (c && c->visible && c->enabled && (c->style & WS_TABSTOP))
            return c->hwnd;
    }
    return nullptr;
}

void WindowManager::setDefaultIdLocked(HWND dialog, WORD id)
{
    m_kernel.mutex().assertHeld();
    Window* w = findLocked(dialog);
    if (!w || !w->dialog)
        return;
    w->dialog->defaultId = id;
    // The default push button's look follows: the old one becomes plain, the new one default.
    for (HWND child : std::vector<HWND>(w->children)) {
        Window* c = findLocked(child);
        if (!c || upperText(c->className) != L"BUTTON")
            continue;
        const DWORD kind = c->style & 0x0F;
        DWORD wanted = kind;
        if (c->id == id && kind == BS_PUSHBUTTON)
            wanted = BS_DEFPUSHBUTTON;
        else if (c->id != id && kind == BS_DEFPUSHBUTTON)
            wanted = BS_PUSHBUTTON;
        if (wanted != kind) {
            c->style = (c->style & ~0x0FU) | wanted;
            invalidateLocked(*c, std::nullopt, true);
        }
    }
}

bool WindowManager::endDialog(HWND dialog, INT_PTR result)
{
    std::lock_guard lock(m_kernel.mutex());
    Window* w = findLocked(dialog);
    if (!w || !w->dialog) {
        kernel::setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    w->dialog->ended = true;
    w->dialog->result = result;
    // Wakes the modal loop should it be waiting for a message.
    postToThreadLocked(w->thread, MSG{dialog, WM_NULL, 0, 0, static_cast<DWORD>(m_kernel.scheduler().nowLocked()), {}});
    return true;
}

bool WindowManager::isDialogMessage(HWND dialog, const MSG& message)
{
    int command = 0;
    {
        std::lock_guard lock(m_kernel.mutex());
        if (!findLocked(dialog) || (message.hwnd != dialog && !isDescendantLocked(message.hwnd, dialog)))
            return false;
    }
    // The window the key is for may take it itself, before the dialog makes a command of it.
    if (message.message == WM_KEYDOWN || message.message == WM_CHAR) {
        const LRESULT code = send(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
        LRESULT wants = message.message == WM_CHAR ? (DLGC_WANTMESSAGE | DLGC_WANTCHARS) : DLGC_WANTMESSAGE;
        if (message.wParam == VK_TAB)
            wants |= DLGC_WANTTAB;
        if (code & wants) {
            translate(message);
            dispatch(message);
            return true;
        }
    }
    {
        std::lock_guard lock(m_kernel.mutex());
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
            command = IDCANCEL;
        const bool keyEvent =
            message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
        if (keyEvent && (message.wParam == VK_ESCAPE || message.wParam == VK_RETURN || message.wParam == VK_TAB) &&
            message.message != WM_KEYDOWN)
            return true;  // the key's other messages are swallowed with it
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        const LRESULT def = send(dialog, DM_GETDEFID, 0, 0);
        command = HIWORD(static_cast<DWORD_PTR>(def)) == DC_HASDEFID ? LOWORD(static_cast<DWORD_PTR>(def)) : IDOK;
        // A disabled default button is not pressed by Enter.
        std::lock_guard lock(m_kernel.mutex());
        const Window* control = findLocked(childWithIdLocked(dialog, command));
        if (control && !control->enabled)
            return true;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB) {
        std::lock_guard lock(m_kernel.mutex());
        if (const HWND next = nextTabStopLocked(dialog, m_focus))
            setFocusLocked(next);
        return true;
    }
    if (command != 0) {
        HWND control = nullptr;
        {
            std::lock_guard lock(m_kernel.mutex());
            control = childWithIdLocked(dialog, command);
        }
        send(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), BN_CLICKED), reinterpret_cast<LPARAM>(control));
        return true;
    }
    translate(message);
    dispatch(message);
    return true;
}

LRESULT WindowManager::defDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DLGPROC proc = nullptr;
    bool isDialog = false;
    {
        std::lock_guard lock(m_kernel.mutex());
        Window* w = findLocked(dialog);
        isDialog = w && w->dialog;
        if (isDialog)
            proc = w->dialog->proc;
    }
    // Not under the lock: the default procedure paints, which takes it.
    if (!isDialog)
        return defWindowProc(dialog, message, wParam, lParam);
    const BOOL handled = proc ? proc(dialog, message, wParam, lParam) : FALSE;
    if (message == WM_INITDIALOG)
        return handled;
    if (handled) {
        std::lock_guard lock(m_kernel.mutex());
        const Window* w = findLocked(dialog);
        return w && w->dialog ? w->dialog->msgResult : 0;
    }
    switch (message) {
    case WM_CLOSE:
        send(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    case DM_SETDEFID: {
        std::lock_guard lock(m_kernel.mutex());
        setDefaultIdLocked(dialog, static_cast<WORD>(wParam));
        return TRUE;
    }
    case DM_GETDEFID: {
        std::lock_guard lock(m_kernel.mutex());
        const Window* w = findLocked(dialog);
        if (w && w->dialog && w->dialog->defaultId)
            return static_cast<LRESULT>(MAKEWPARAM(w->dialog->defaultId, DC_HASDEFID));
        for (HWND child : w ? w->children : std::vector<HWND>{}) {
            const Window* c = findLocked(child);
            if (c && upperText(c->className) == L"BUTTON" && (c->style & 0x0F) == BS_DEFPUSHBUTTON)
                return static_cast<LRESULT>(MAKEWPARAM(static_cast<WORD>(c->id), DC_HASDEFID));
        }
        return 0;
    }
    default:
        return defWindowProc(dialog, message, wParam, lParam);
    }
}

}  // namespace velorin::window
