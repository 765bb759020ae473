// Text: DrawTextW, ExtTextOutW, GetTextExtentPoint32W and the text state of a DC.
#include "gdi/gdi_call.hpp"
#include "gdi/wingdi.h"

#include <cwchar>
#include <string>
#include <string_view>

using velorin::gdi::Gdi;
using velorin::gdi::gdiCall;
using velorin::gdi::withGdi;
using velorin::kernel::platformCall;
using velorin::kernel::setLastError;

namespace {

// A string given with a count, which need not end in a null; traced as its text.
struct CountedText {
    const wchar_t* text = nullptr;
    std::size_t length = 0;

    std::wstring_view view() const { return text ? std::wstring_view(text, length) : std::wstring_view(); }
};

CountedText countedText(const wchar_t* text, long long count)
{
    if (!text)
        return {};
    return {text, count < 0 ? std::wcslen(text) : static_cast<std::size_t>(count)};
}

}  // namespace

template <> struct velorin::kernel::TraceFormat<CountedText> {
    static std::string format(const CountedText& value)
    {
        return value.text ? trace::quoted(value.view()) : std::string("NULL");
    }
};

COLORREF SetTextColor(HDC hdc, COLORREF crColor)
{
    return gdiCall(
        "SetTextColor", CLR_INVALID, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) { return gdi.setTextColorLocked(hdc, crColor); }, hdc, crColor);
}

COLORREF GetTextColor(HDC hdc)
{
    return gdiCall(
        "GetTextColor", CLR_INVALID, ERROR_INVALID_HANDLE, [&](Gdi& gdi) { return gdi.textColorLocked(hdc); }, hdc);
}

COLORREF SetBkColor(HDC hdc, COLORREF crColor)
{
    return gdiCall(
        "SetBkColor", CLR_INVALID, ERROR_INVALID_HANDLE, [&](Gdi& gdi) { return gdi.setBkColorLocked(hdc, crColor); },
        hdc, crColor);
}

int SetBkMode(HDC hdc, int iBkMode)
{
    return gdiCall(
        "SetBkMode", 0, ERROR_INVALID_HANDLE, [&](Gdi& gdi) { return gdi.setBkModeLocked(hdc, iBkMode); }, hdc,
        iBkMode);
}

int DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, LPRECT lpRect, UINT uFormat)
{
    const CountedText text = countedText(lpString, nCount);
    return platformCall(
        "DrawTextW", 0, ERROR_INVALID_PARAMETER,
        [&] {
            if (!lpString || !lpRect) {
                setLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            return withGdi([&](Gdi& gdi) { return gdi.drawTextLocked(hDC, text.view(), *lpRect, uFormat); });
        },
        hDC, text, nCount, lpRect, uFormat);
}

BOOL ExtTextOutW(HDC hdc, int X, int Y, UINT fuOptions, const RECT* lprc, LPCWSTR lpszString, UINT cbCount,
                 const int* lpDx)
{
    const CountedText text = countedText(lpszString, cbCount);
    return gdiCall(
        "ExtTextOutW", FALSE, ERROR_INVALID_HANDLE,
        [&](Gdi& gdi) {
            return gdi.extTextOutLocked(hdc, POINT{X, Y}, fuOptions, lprc, text.view()) ? TRUE : FALSE;
        },
        hdc, X, Y, fuOptions, lprc, text, cbCount, lpDx);
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, SIZE* lpSize)
{
    const CountedText text = countedText(lpString, c);
    return platformCall(
        "GetTextExtentPoint32W", FALSE, ERROR_INVALID_PARAMETER,
        [&]() -> BOOL {
            if (!lpString || !lpSize || c < 0) {
                setLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            const auto size = withGdi([&](Gdi& gdi) { return gdi.textExtentLocked(hdc, text.view()); });
            if (!size)
                return FALSE;
            *lpSize = *size;
            return TRUE;
        },
        hdc, text, c, lpSize);
}
