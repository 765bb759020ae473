// What goes with a window: the windows of a thread that ends, and the windows an owner owns.
#include "report.hpp"

#include "test_window.hpp"

namespace conformance {

namespace {

constexpr char kGroup[] = "window_tree";

DWORD WINAPI MakeWindowAndEnd(LPVOID out)
{
    *static_cast<HWND*>(out) = MakeWindow(L"Conformance Thread Window");
    return 0;
}

// DestroyWindow of another thread's window, from this thread: its result and error.
DWORD WINAPI DestroyFromHere(LPVOID window)
{
    SetLastError(0);
    const BOOL destroyed = DestroyWindow(static_cast<HWND>(window));
    return destroyed ? 0 : GetLastError();
}

HWND MakeChild(HWND parent, DWORD style = WS_CHILD | WS_VISIBLE)
{
    return CreateWindowExW(0, L"ConformanceWindow", L"", style, 0, 0, 20, 20, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void RunWindowTreeChecks()
{
    HWND threadWindow = nullptr;
    HANDLE thread = CreateThread(nullptr, 0, MakeWindowAndEnd, &threadWindow, 0, nullptr);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    Report(kGroup, "thread_end_destroys_its_windows", YesNo(threadWindow != nullptr) + " " + YesNo(IsWindow(threadWindow)));
    MessageLog::Instance().Take();

    HWND owner = MakeWindow(L"Conformance Owner");
    HWND owned = CreateWindowExW(0, L"ConformanceWindow", L"", WS_POPUP, 0, 0, 50, 50, owner, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    MessageLog::Instance().Take();
    DestroyWindow(owner);
    Report(kGroup, "owner_destroys_owned", YesNo(IsWindow(owned)) + " " + MessageLog::Instance().Take());
    if (IsWindow(owned))
        DestroyWindow(owned);

    // GetParent: a child's parent, a pop-up's owner, nothing for an unowned window, and the
    // owner a pop-up made with a child for parent takes: the child's top-level window.
    HWND top = MakeWindow(L"Conformance Parent");
    HWND child = MakeChild(top);
    HWND grandChild = MakeChild(child);
    HWND popup = CreateWindowExW(0, L"ConformanceWindow", L"", WS_POPUP, 0, 0, 20, 20, grandChild, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SetLastError(0);
    const HWND ofNothing = GetParent(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4444)));
    Report(kGroup, "get_parent",
           YesNo(GetParent(child) == top) + " " + YesNo(GetParent(grandChild) == child) + " " +
               YesNo(GetParent(popup) == top) + " " + YesNo(GetParent(top) == nullptr) + " " +
               YesNo(ofNothing == nullptr) + " " + Error(GetLastError()));

    // IsChild follows parents only: a grandchild is a child, an owned pop-up or the window itself
    // is none, and a window that does not exist is none of anything.
    Report(kGroup, "is_child",
           YesNo(IsChild(top, child)) + " " + YesNo(IsChild(top, grandChild)) + " " + YesNo(IsChild(child, top)) +
               " " + YesNo(IsChild(top, popup)) + " " + YesNo(IsChild(top, top)) + " " +
               YesNo(IsChild(nullptr, child)) + " " +
               YesNo(IsChild(top, reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4444)))));

    // An owned window that is no pop-up: CE gives its owner as for any top-level window.
    HWND overlapped = CreateWindowExW(0, L"ConformanceWindow", L"", WS_CAPTION, 0, 0, 20, 20, top, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    Report(kGroup, "get_parent_of_an_owned_overlapped_window", YesNo(GetParent(overlapped) == top));

    // A visible child of a hidden window is not visible, though its style says so.
    Report(kGroup, "visible_child_of_a_hidden_parent",
           YesNo(IsWindowVisible(grandChild)) + " " +
               YesNo((GetWindowLongW(grandChild, GWL_STYLE) & WS_VISIBLE) != 0));

    // Another thread may not destroy a window.
    HANDLE destroyer = CreateThread(nullptr, 0, DestroyFromHere, top, 0, nullptr);
    WaitForSingleObject(destroyer, 5000);
    DWORD destroyError = 0;
    GetExitCodeThread(destroyer, &destroyError);
    CloseHandle(destroyer);
    Report(kGroup, "destroy_from_another_thread", Error(destroyError) + " " + YesNo(IsWindow(top)));

    // Children go with their parent, and the owned pop-up with its owner.
    DestroyWindow(top);
    Report(kGroup, "children_go_with_the_parent",
           YesNo(IsWindow(child)) + " " + YesNo(IsWindow(grandChild)) + " " + YesNo(IsWindow(popup)));
    if (IsWindow(popup))
        DestroyWindow(popup);

    MessageLog::Instance().Take();
}

}  // namespace conformance
