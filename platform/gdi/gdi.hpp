// The device's graphics system: its objects, device contexts and drawing. Owned by
// platform::Device (`device.gdi()`). Members named ...Locked run under the kernel lock and set
// the calling thread's last error when they fail.
#pragma once

#include "gdi/device_context.hpp"
#include "gdi/gdi_object.hpp"
#include "gdi/handle_map.hpp"
#include "gdi/surface.hpp"
#include "gdi/wingdi.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

namespace velorin::kernel {
class Kernel;
}

namespace velorin::gdi {

// Where a window's drawing goes. The window manager owns the surfaces.
struct WindowTarget {
    Surface* surface = nullptr;  // the surface of the window's top-level window
    POINT clientOrigin{};        // where the client area starts in the surface
    RECT clip{};                 // surface pixels that may be drawn: the client area
};
// Called under the kernel lock for every drawing call on a window's device context, so a DC
// follows its window when it moves or goes; nullopt for a window that does not exist.
using WindowResolver = std::function<std::optional<WindowTarget>(HWND)>;
// A rectangle as BitBlt and StretchBlt take it: a corner and a size, which is negative to mirror.
struct BlitExtent {
    POINT at{};
    SIZE size{};
};
// The whole screen, for GetDC(NULL), from the window manager: the picture as shown, and where
// a drawing on it goes (the windows under each changed pixel, and the desktop). Both run under
// the kernel lock.
struct ScreenAccess {
    std::function<Surface()> compose;
    std::function<void(const Surface& before, const Surface& after)> commit;
};

class Gdi {
public:
    explicit Gdi(kernel::Kernel& kernel);
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;

    // Installed by the window manager at boot, before any program runs.
    void setWindowResolver(WindowResolver resolver) { m_resolver = std::move(resolver); }
    void setScreenAccess(ScreenAccess screen) { m_screen = std::move(screen); }

    // Device contexts. A window DC draws into the window's client area (client coordinates), a
    // null window's into the whole screen; `paintClip` (client coordinates) narrows it for
    // BeginPaint. The new DC has the white brush, the black pen and the system font selected.
    HDC openWindowDCLocked(HWND window, std::optional<RECT> paintClip);
    // Ends a window DC of either kind (GetDC or BeginPaint); false for anything else.
    bool releaseWindowDCLocked(HDC dc);
    // ReleaseDC: a GetDC context of that window; 1 when released, 0 otherwise.
    int releaseDCLocked(HWND window, HDC dc);
    // A memory DC with the 1 x 1 default bitmap selected; `reference` may be null.
    HDC createCompatibleDCLocked(HDC reference);
    bool deleteDCLocked(HDC dc);

    // Objects, owned by the calling process: whatever is left of them when it ends is freed.
    // A device-independent 24-bit bitmap holding `pixels` (LoadBitmapW and friends).
    HBITMAP createBitmapLocked(Surface pixels);
    // CreateBitmap: `bits` (may be null) in the rows of that depth.
    HBITMAP createBitmapLocked(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    // Of the depth of the bitmap selected in a memory DC, 24 bits for a window's or the screen's.
    HBITMAP createCompatibleBitmapLocked(HDC dc, int width, int height);
    HBRUSH createSolidBrushLocked(COLORREF colour);
    HBRUSH createPatternBrushLocked(HBITMAP bitmap);
    HPEN createPenLocked(int style, int width, COLORREF colour);
    HGDIOBJ stockObjectLocked(int index) const;
    // The object previously selected of the same kind, or null (bad handle, a bitmap into a
    // window DC, a bitmap already in another DC).
    HGDIOBJ selectObjectLocked(HDC dc, HGDIOBJ object);
    // Refuses an object that is selected into a DC; a stock object is left alone (TRUE).
    bool deleteObjectLocked(HGDIOBJ object);
    int getObjectLocked(HGDIOBJ object, int size, void* out) const;
    // The pixels of a bitmap, for the device's own readers; null for another handle.
    const Surface* bitmapPixelsLocked(HGDIOBJ bitmap) const;

    // Drawing, in the DC's coordinates, clipped to what the DC may draw.
    bool rectangleLocked(HDC dc, RECT area);
    bool fillRectLocked(HDC dc, const RECT& area, HBRUSH brush);
    bool bitBltLocked(HDC dst, POINT at, SIZE size, HDC src, POINT from, DWORD rop);
    bool stretchBltLocked(HDC dst, BlitExtent to, HDC src, BlitExtent from, DWORD rop);
    // The previous mode, 0 for a bad handle or mode.
    int setStretchBltModeLocked(HDC dc, int mode);
    int stretchBltModeLocked(HDC dc) const;
    bool transparentImageLocked(HDC dst, const RECT& to, HANDLE src, const RECT& from, COLORREF key);
    COLORREF getPixelLocked(HDC dc, POINT at);
    COLORREF setPixelLocked(HDC dc, POINT at, COLORREF colour);

    // Text state of a DC; CLR_INVALID or 0 for a bad handle.
    COLORREF setTextColorLocked(HDC dc, COLORREF colour);
    COLORREF textColorLocked(HDC dc) const;
    COLORREF setBkColorLocked(HDC dc, COLORREF colour);
    int setBkModeLocked(HDC dc, int mode);
    // DrawTextW: the height of the text, 0 on failure; DT_CALCRECT sets `area`'s right and
    // bottom instead of drawing.
    int drawTextLocked(HDC dc, std::wstring_view text, RECT& area, UINT format);
    bool extTextOutLocked(HDC dc, POINT at, UINT options, const RECT* area, std::wstring_view text);
    std::optional<SIZE> textExtentLocked(HDC dc, std::wstring_view text) const;

    // Text for the window manager's chrome (captions, static text, buttons): `area` in the
    // surface's pixels, text blended over what is there. DT_LEFT, DT_CENTER, DT_RIGHT,
    // DT_VCENTER, DT_BOTTOM, DT_SINGLELINE, DT_WORDBREAK and DT_NOPREFIX are honoured; '\n'
    // breaks lines unless DT_SINGLELINE; '&' marks the next letter (underlined) unless
    // DT_NOPREFIX.
    void drawTextLocked(Surface& surface, const RECT& area, std::wstring_view text, Rgb colour, UINT format);
    // Width of the widest line and height of all lines, '\n' breaking lines; '&' is measured as
    // a character (pass the text without its prefix marks).
    SIZE measureTextLocked(std::wstring_view text) const;

    // Live objects (stock objects not counted) and device contexts, for tests that prove a
    // drawing leaves nothing behind. The plain forms take the kernel lock.
    std::size_t liveObjectsLocked() const;
    std::size_t liveDCsLocked() const { return m_dcs.size(); }
    std::size_t liveObjects() const;
    std::size_t liveDCs() const;

private:
    // Runs once when a drawing call is done with its target.
    class AfterDrawing {
    public:
        AfterDrawing() = default;
        explicit AfterDrawing(std::function<void()> work) : m_work(std::move(work)) {}
        AfterDrawing(AfterDrawing&& other) noexcept : m_work(std::exchange(other.m_work, nullptr)) {}
        AfterDrawing& operator=(AfterDrawing&& other) noexcept
        {
            std::swap(m_work, other.m_work);
            return *this;
        }
        ~AfterDrawing()
        {
            if (m_work)
                m_work();
        }

    private:
        std::function<void()> m_work;
    };
    // A drawing target resolved for one call: the surface, the DC's origin on it, the clip, the
    // depth of its pixels, and what is owed when the call is done (a bitmap of few colours
    // brought back to them, the screen's picture handed back to the windows).
    struct Target {
        Surface* surface = nullptr;
        POINT origin{};
        RECT clip{};
        int bitsPerPixel = 24;
        AfterDrawing done;
    };

    HGDIOBJ addObject(GdiObject object);
    HDC addDC(DeviceContext dc);
    GdiObject* objectLocked(HGDIOBJ handle);
    const GdiObject* objectLocked(HGDIOBJ handle) const;
    DeviceContext* dcLocked(HDC handle);
    const DeviceContext* dcLocked(HDC handle) const;
    std::optional<Target> targetLocked(const DeviceContext& dc);
    bool isSelectedLocked(HGDIOBJ object) const;
    std::optional<Rgb> brushColourLocked(const DeviceContext& dc) const;
    const BrushObject* brushLocked(HGDIOBJ brush) const;
    // Paints `area` (surface pixels) with a brush as `dc` draws it: solid or a pattern.
    void fillWithBrushLocked(const DeviceContext& dc, const Target& target, const RECT& area,
                             const BrushObject& brush) const;
    // The colour of a brush at a surface pixel as `dc` draws it; nullopt for the hollow brush.
    static std::optional<Rgb> brushPixel(const DeviceContext& dc, const Target& target, const BrushObject& brush,
                                         POINT at);
    // BitBlt's and StretchBlt's general case: any raster operation, any depths, any sizes.
    bool rasterLocked(HDC dst, BlitExtent to, HDC src, BlitExtent from, DWORD rop);
    Target bitmapTargetLocked(HGDIOBJ handle);
    void freeProcessLocked(kernel::ProcessId pid);
    std::uintptr_t nextHandleValue();
    HDC newDCLocked(DeviceContext::Kind kind, HWND window, std::optional<RECT> paintClip);

    kernel::Kernel& m_kernel;
    WindowResolver m_resolver;
    ScreenAccess m_screen;
    HandleMap<GdiObject> m_objects;
    HandleMap<DeviceContext> m_dcs;
    // By stock index; null where the index names no object. A new DC takes three of them.
    std::array<HGDIOBJ, 32> m_stock{};
    HGDIOBJ m_defaultBitmap = nullptr;
    std::uintptr_t m_nextSerial = 1;
};

}  // namespace velorin::gdi
