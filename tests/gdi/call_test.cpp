// The graphics calls as platform calls: call lines of `--trace=all` and injected faults.
#include "gdi_test_support.hpp"

#include <algorithm>
#include <cstdio>

namespace velorin::test {
namespace {

TEST(GdiCalls, TraceAllWritesACallLineForEachDrawingCall)
{
    Device device({.trace = trace::TraceLevel::All});
    HDC dc = nullptr;
    HBRUSH brush = nullptr;
    HGDIOBJ previous = nullptr;
    runProgram(device, [&] {
        dc = CreateCompatibleDC(nullptr);
        brush = CreateSolidBrush(RGB(1, 2, 3));
        previous = SelectObject(dc, brush);
        Rectangle(dc, 0, 0, 1, 1);
        const RECT r{0, 0, 1, 1};
        FillRect(dc, &r, brush);
        SelectObject(dc, previous);
        DeleteObject(brush);
        DeleteDC(dc);
    });
    std::vector<std::string> calls = device.trace().linesOf("call");
    const std::vector<std::string> expected = {
        "0 call CreateCompatibleDC(NULL) = " + handleText(dc),
        "0 call CreateSolidBrush(197121) = " + handleText(brush),
        "0 call SelectObject(" + handleText(dc) + ", " + handleText(brush) + ") = " + handleText(previous),
        "0 call Rectangle(" + handleText(dc) + ", 0, 0, 1, 1) = 1",
        "0 call FillRect(" + handleText(dc) + ", ptr, " + handleText(brush) + ") = 1",
        "0 call SelectObject(" + handleText(dc) + ", " + handleText(previous) + ") = " + handleText(brush),
        "0 call DeleteObject(" + handleText(brush) + ") = 1",
        "0 call DeleteDC(" + handleText(dc) + ") = 1",
    };
    EXPECT_EQ(calls, expected);
}

TEST(GdiCalls, InjectedFaultsFailWithTheDocumentedResultAndLeaveNothing)
{
    Device device;
    device.faults().failAlways("CreateSolidBrush");
    device.faults().failAlways("BitBlt");
    device.faults().failNth("CreateCompatibleDC", 1, ERROR_OUTOFMEMORY);
    std::vector<DWORD> errors;
    BOOL blitted = TRUE;
    HDC firstDC = nullptr;
    COLORREF pixel = 0;
    runProgram(device, [&] {
        EXPECT_EQ(CreateSolidBrush(kRed), nullptr);
        errors.push_back(GetLastError());
        firstDC = CreateCompatibleDC(nullptr);
        errors.push_back(GetLastError());
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
        HGDIOBJ old = SelectObject(dc, bitmap);
        blitted = BitBlt(dc, 0, 0, 2, 2, nullptr, 0, 0, WHITENESS);
        errors.push_back(GetLastError());
        pixel = GetPixel(dc, 0, 0);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    });
    EXPECT_EQ(firstDC, nullptr);
    EXPECT_FALSE(blitted);
    EXPECT_EQ(pixel, kBlack);  // the failed call drew nothing
    EXPECT_EQ(errors, (std::vector<DWORD>{ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY, ERROR_INVALID_HANDLE}));
    const auto faults = device.trace().linesOf("fault");
    EXPECT_EQ(faults,
              (std::vector<std::string>{"0 fault CreateSolidBrush", "0 fault CreateCompatibleDC", "0 fault BitBlt"}));
    EXPECT_EQ(device.gdi().liveObjects(), 0u);
    EXPECT_EQ(device.gdi().liveDCs(), 0u);
}

}  // namespace
}  // namespace velorin::test
