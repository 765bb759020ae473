// The charging animation: each tick of the animation timer advances the blink, the fill step
// and the gauge level from the battery percentage, and draws one frame straight into the window.
#include "screen/charge_screen_dlg.h"
#include "screen/charge_screen_layout.h"

#include <string.h>

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kTransparent = RGB(0, 0, 0);
const BYTE kFullPercent = 100;
const LONG kFullLevel = 10;
const LONG kLastFillStep = 5;
const LONG kFillSteps = 5;

// Cells of the digit strip: ten digits, then the wider percent sign.
const int kGlyphWidth = 19;
const int kGlyphHeight = 30;
const int kPercentSignLeft = 190;
const int kPercentSignWidth = 22;

SIZE SizeOf(const CBitmap& bitmap)
{
    BITMAP info;
    memset(&info, 0, sizeof info);
    bitmap.GetBitmap(&info);
    return MakeSize(info.bmWidth, info.bmHeight);
}

// TransparentImage takes its source, a context or a bitmap, as a plain handle.
HANDLE ImageSource(const CDC& dc)
{
    return reinterpret_cast<HANDLE>(dc.GetSafeHdc());
}

// Selects a picture into the memory context for one copy and selects the previous one back, so
// that no picture is still selected when the context is deleted.
class SelectedPicture {
public:
    SelectedPicture(CDC& memory, const CBitmap& picture) : m_memory(memory), m_previous(memory.SelectObject(picture)) {}
    ~SelectedPicture() { m_memory.SelectObject(m_previous); }
private:
    SelectedPicture(const SelectedPicture&);
    SelectedPicture& operator=(const SelectedPicture&);

    CDC& m_memory;
    HGDIOBJ m_previous;
};

}  // namespace

void CChargeScreenDlg::OnAnimationTimer()
{
    m_blinkOn = m_blinkOn == 0 ? TRUE : FALSE;
    const BYTE percent = static_cast<BYTE>(GetWindowLongPtrW(m_hWnd, GWLP_USERDATA) & 0xFF);
    m_levelTenths = LevelTenthsForPercent(percent);
    if (m_blinkOn == TRUE)
        ++m_fillStep;
    if (m_fillStep > kLastFillStep)
        m_fillStep = 0;
    if (m_levelTenths == kFullLevel) {
        m_fillStep = kLastFillStep;
        m_blinkOn = FALSE;
    }

    // While the close prompt is up nothing is drawn and the window stays behind it.
    if (!m_drawingEnabled)
        return;
    // After a full battery has been drawn, frames wait until something forces a redraw.
    if (m_fullDrawn != TRUE)
        DrawAnimationFrame(percent);
    if (m_drawingEnabled && IsWindowVisible(m_hWnd))
        SetForegroundWindow(m_hWnd);
}

void CChargeScreenDlg::DrawAnimationFrame(BYTE percent)
{
    CClientDC dc(this);
    // Without the window's context the frame is abandoned; the tick's state changes stand.
    if (!dc.GetSafeHdc())
        return;
    CDC memory;
    memory.CreateCompatibleDC(&dc);

    // Nothing is cached, so a rotation or another picture shows at the next frame.
    // Width first: arguments of one call have no order of their own.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const SIZE screen = MakeSize(screenWidth, screenHeight);
    const SIZE battery = SizeOf(m_bmpBatteryEmpty);
    const SIZE symbol = SizeOf(m_bmpChargeSymbol);
    const SIZE gauge = SizeOf(m_bmpGauge);
    const ChargeFrameLayout layout = ComputeChargeFrameLayout(screen, battery, symbol, gauge);
    m_percentRect = layout.percentRect;
    m_symbolRect = layout.symbolRect;
    const bool digitsChange = percent != m_lastPercentDrawn;
    // Rows at the top of the gauge that stay black.
    const LONG emptyGauge = (kFullLevel - m_levelTenths) * gauge.cy / kFullLevel;

    {
        CBrush black;
        black.CreateSolidBrush(kBlack);
        const HGDIOBJ previousBrush = dc.SelectObject(black);
        if (digitsChange)
            Rectangle(dc, m_percentRect.left, m_percentRect.top, m_percentRect.right, m_percentRect.bottom);
        Rectangle(dc, layout.gauge.x, layout.gauge.y, layout.gauge.x + gauge.cx, layout.gauge.y + emptyGauge);
        dc.SelectObject(previousBrush);
        black.DeleteObject();
    }

    // The battery: its grey top from the empty picture, its green bottom from the full one.
    const LONG greyRows = (kFillSteps - m_fillStep) * battery.cy / kFillSteps;
    {
        const SelectedPicture empty(memory, m_bmpBatteryEmpty);
        BitBlt(dc, layout.battery.x, layout.battery.y, battery.cx, greyRows, memory, 0, 0, SRCCOPY);
    }
    {
        const SelectedPicture full(memory, m_bmpBatteryFull);
        BitBlt(dc, layout.battery.x, layout.battery.y + greyRows, battery.cx, m_fillStep * battery.cy / kFillSteps,
               memory, 0, greyRows, SRCCOPY);
    }
    if (m_blinkOn == TRUE) {
        const SelectedPicture bolt(memory, m_bmpChargeSymbol);
        TransparentImage(dc, m_symbolRect.left, m_symbolRect.top, symbol.cx, symbol.cy, ImageSource(memory), 0, 0,
                         symbol.cx, symbol.cy, kTransparent);
    }
    {
        const SelectedPicture segments(memory, m_bmpGauge);
        BitBlt(dc, layout.gauge.x, layout.gauge.y + emptyGauge, gauge.cx, gauge.cy - emptyGauge, memory, 0, emptyGauge,
               SRCCOPY);
    }
    if (digitsChange) {
        const SelectedPicture digits(memory, m_bmpDigits);
        DrawPercentage(&dc, percent, &memory);
    }

    memory.DeleteDC();
    m_fullDrawn = percent == kFullPercent ? TRUE : FALSE;
    m_lastPercentDrawn = percent;
}

void CChargeScreenDlg::DrawPercentage(CDC* pDC, UINT percent, CDC* pGlyphDC)
{
    const int count = percent >= 100u ? 3 : percent >= 10u ? 2 : 1;
    // Only the digits are centred; the percent sign follows them.
    const LONG x0 = m_percentRect.left + (m_percentRect.right - kGlyphWidth * count - m_percentRect.left) / 2;
    const LONG y0 = m_percentRect.top + (m_percentRect.bottom - m_percentRect.top - kGlyphHeight) / 2;

    // Anything from 100 up reads as 100.
    int digits[3] = {1, 0, 0};
    if (count == 1) {
        digits[0] = static_cast<int>(percent);
    } else if (count == 2) {
        digits[0] = static_cast<int>(percent / 10);
        digits[1] = static_cast<int>(percent % 10);
    }
    RECT glyph;
    memset(&glyph, 0, sizeof glyph);
    for (int i = 0; i < count; ++i) {
        GetGlyphRect(digits[i], &glyph);
        TransparentImage(pDC->GetSafeHdc(), x0 + kGlyphWidth * i, y0, kGlyphWidth, kGlyphHeight, ImageSource(*pGlyphDC),
                         glyph.left, glyph.top, kGlyphWidth, kGlyphHeight, kTransparent);
    }
    GetGlyphRect(-1, &glyph);
    TransparentImage(pDC->GetSafeHdc(), x0 + kGlyphWidth * count, y0, kPercentSignWidth, kGlyphHeight,
                     ImageSource(*pGlyphDC), glyph.left, glyph.top, kPercentSignWidth, kGlyphHeight, kTransparent);
}

void CChargeScreenDlg::GetGlyphRect(int index, RECT* rect) const
{
    if (index < 0)
        *rect = MakeRect(kPercentSignLeft, 0, kPercentSignLeft + kPercentSignWidth, kGlyphHeight);
    else
        *rect = MakeRect(kGlyphWidth * index, 0, kGlyphWidth * index + kGlyphWidth, kGlyphHeight);
}
