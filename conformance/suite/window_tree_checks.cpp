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

    MessageLog::Instance().Take();
}

}  // namespace conformance
