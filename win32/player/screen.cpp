// A pixel of the screen read back, and the whole screen saved as a PNG through GDI+.
#include "screen.hpp"

#include <gdiplus.h>

#include <memory>

namespace velorin::wine {

namespace {

// The system's PNG encoder, as GDI+ names it.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (m_ok)
            Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

}  // namespace

bool screenPixel(int x, int y, DWORD& rgb, std::string& why)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (x < 0 || y < 0 || x >= width || y >= height) {
        why = "the point is outside the " + std::to_string(width) + "x" + std::to_string(height) + " screen";
        return false;
    }
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    if (colour == CLR_INVALID) {
        why = "the screen cannot be read";
        return false;
    }
    rgb = (static_cast<DWORD>(GetRValue(colour)) << 16) | (static_cast<DWORD>(GetGValue(colour)) << 8) |
          GetBValue(colour);
    return true;
}

bool saveScreen(const std::wstring& file, std::string& why)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, picture);
    const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    bool saved = false;
    if (!copied) {
        why = "the screen cannot be read";
    } else {
        GdiplusSession session;
        if (!session.ok()) {
            why = "GDI+ cannot start";
        } else {
            const auto bitmap = std::make_unique<Gdiplus::Bitmap>(picture, nullptr);
            saved = bitmap->Save(file.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
            if (!saved)
                why = "cannot write the file";
        }
    }
    DeleteObject(picture);
    return saved;
}

}  // namespace velorin::wine
