// The tables of objects and device contexts, and selection.
#include "gdi/gdi.hpp"

#include "gdi/pixel_format.hpp"
#include "gdi/raster.hpp"
#include "kernel/kernel.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace velorin::gdi {

namespace {

// Handles are 32-bit values from one sequence for objects and DCs alike, so that traces are
// the same from run to run and a deleted handle never comes back. The tag keeps them apart
// from windows' and registry keys' handles in a trace.
constexpr std::uintptr_t kHandleTag = 0x20000000;
constexpr DWORD kErrorInvalidWindowHandle = 1400;
// Bitmaps larger than this are refused as the device would run out of memory.
constexpr long long kMaxBitmapPixels = 4096LL * 4096LL;

std::uintptr_t valueOf(const void* handle)
{
    return reinterpret_cast<std::uintptr_t>(handle);
}

template <class H> H handleOf(std::uintptr_t value)
{
    return reinterpret_cast<H>(value);
}

}  // namespace

Gdi::Gdi(kernel::Kernel& kernel) : m_kernel(kernel)
{
    const auto stock = [this](int index, GdiObject object) {
        object.stock = true;
        m_stock.at(static_cast<std::size_t>(index)) = addObject(std::move(object));
    };
    stock(WHITE_BRUSH, {BrushObject{rgb(255, 255, 255), {}}});
    stock(LTGRAY_BRUSH, {BrushObject{rgb(192, 192, 192), {}}});
    stock(GRAY_BRUSH, {BrushObject{rgb(128, 128, 128), {}}});
    stock(DKGRAY_BRUSH, {BrushObject{rgb(64, 64, 64), {}}});
    stock(BLACK_BRUSH, {BrushObject{rgb(0, 0, 0), {}}});
    stock(NULL_BRUSH, {BrushObject{std::nullopt, {}}});
    stock(WHITE_PEN, {PenObject{rgb(255, 255, 255), 1, 0}});
    stock(BLACK_PEN, {PenObject{rgb(0, 0, 0), 1, 0}});
    stock(NULL_PEN, {PenObject{std::nullopt, 1, 1}});
    stock(SYSTEM_FONT, {FontObject{}});
    // What a new memory DC holds until a program selects its own bitmap, and what an empty
    // CreateBitmap or CreateCompatibleBitmap gives: the system's 1 x 1 monochrome bitmap.
    m_defaultBitmap = addObject({BitmapObject{Surface(1, 1), 1}, true});
    kernel.addProcessExitHook([this](kernel::ProcessId pid) { freeProcessLocked(pid); });
}

std::uintptr_t Gdi::nextHandleValue()
{
    return kHandleTag | (m_nextSerial++ << 2);
}

HGDIOBJ Gdi::addObject(GdiObject object)
{
    if (!object.stock)
        object.owner = m_kernel.scheduler().currentProcess();
    const std::uintptr_t value = nextHandleValue();
    m_objects.emplace(value, std::move(object));
    return handleOf<HGDIOBJ>(value);
}

HDC Gdi::addDC(DeviceContext dc)
{
    dc.owner = m_kernel.scheduler().currentProcess();
    const std::uintptr_t value = nextHandleValue();
    m_dcs.emplace(value, std::move(dc));
    return handleOf<HDC>(value);
}

GdiObject* Gdi::objectLocked(HGDIOBJ handle)
{
    m_kernel.mutex().assertHeld();
    return m_objects.find(valueOf(handle));
}

const GdiObject* Gdi::objectLocked(HGDIOBJ handle) const
{
    m_kernel.mutex().assertHeld();
    return m_objects.find(valueOf(handle));
}

DeviceContext* Gdi::dcLocked(HDC handle)
{
    m_kernel.mutex().assertHeld();
    return m_dcs.find(valueOf(handle));
}

const DeviceContext* Gdi::dcLocked(HDC handle) const
{
    m_kernel.mutex().assertHeld();
    return m_dcs.find(valueOf(handle));
}

Gdi::Target Gdi::bitmapTargetLocked(HGDIOBJ handle)
{
    m_kernel.mutex().assertHeld();
    GdiObject* object = objectLocked(handle);
    BitmapObject* bitmap = object ? object->as<BitmapObject>() : nullptr;
    if (!bitmap)
        return Target{};
    Target target{&bitmap->pixels, POINT{0, 0}, boundsOf(bitmap->pixels), bitmap->bitsPerPixel, {}};
    if (!isTrueColour(bitmap->bitsPerPixel))
        target.done = AfterDrawing([bitmap] { toFormat(bitmap->pixels, bitmap->bitsPerPixel); });
    return target;
}

std::optional<Gdi::Target> Gdi::targetLocked(const DeviceContext& dc)
{
    m_kernel.mutex().assertHeld();
    if (dc.kind == DeviceContext::Kind::Memory) {
        Target target = bitmapTargetLocked(dc.bitmap);
        if (!target.surface)
            return std::nullopt;
        return target;
    }
    if (!dc.window) {
        if (!m_screen.compose)
            return std::nullopt;
        // The screen is the windows' surfaces composed: drawn on as one picture, then what
        // changed goes back to them.
        auto picture = std::make_shared<Surface>(m_screen.compose());
        auto before = std::make_shared<Surface>(*picture);
        Target target{picture.get(), POINT{0, 0}, boundsOf(*picture), 24, {}};
        target.done = AfterDrawing([this, picture, before] {
            if (*picture != *before)
                m_screen.commit(*before, *picture);
        });
        return target;
    }
    if (!m_resolver)
        return std::nullopt;
    const auto window = m_resolver(dc.window);
    if (!window || !window->surface)
        return std::nullopt;
    Target target{window->surface, window->clientOrigin, intersect(window->clip, boundsOf(*window->surface)), 24, {}};
    if (dc.paintClip)
        target.clip = intersect(target.clip, offsetBy(*dc.paintClip, target.origin));
    return target;
}

bool Gdi::isSelectedLocked(HGDIOBJ object) const
{
    m_kernel.mutex().assertHeld();
    return std::any_of(m_dcs.begin(), m_dcs.end(), [object](const auto& entry) {
        const DeviceContext& dc = entry.second;
        return dc.bitmap == object || dc.brush == object || dc.pen == object || dc.font == object;
    });
}

HDC Gdi::newDCLocked(DeviceContext::Kind kind, HWND window, std::optional<RECT> paintClip)
{
    m_kernel.mutex().assertHeld();
    DeviceContext dc;
    dc.kind = kind;
    dc.window = window;
    dc.paintClip = paintClip;
    dc.brush = m_stock[WHITE_BRUSH];
    dc.pen = m_stock[BLACK_PEN];
    dc.font = m_stock[SYSTEM_FONT];
    if (kind == DeviceContext::Kind::Memory)
        dc.bitmap = m_defaultBitmap;
    return addDC(std::move(dc));
}

HDC Gdi::openWindowDCLocked(HWND window, std::optional<RECT> paintClip)
{
    m_kernel.mutex().assertHeld();
    if (!window && !paintClip && m_screen.compose)
        return newDCLocked(DeviceContext::Kind::Window, nullptr, std::nullopt);
    if (!m_resolver || !window || !m_resolver(window)) {
        kernel::setLastError(kErrorInvalidWindowHandle);
        return nullptr;
    }
    return newDCLocked(paintClip ? DeviceContext::Kind::Paint : DeviceContext::Kind::Window, window, paintClip);
}

bool Gdi::releaseWindowDCLocked(HDC handle)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    if (!dc || dc->kind == DeviceContext::Kind::Memory) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    m_dcs.erase(valueOf(handle));
    return true;
}

int Gdi::releaseDCLocked(HWND window, HDC handle)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    // A BeginPaint DC ends with EndPaint, a memory DC with DeleteDC.
    if (!dc || dc->kind != DeviceContext::Kind::Window || dc->window != window) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    m_dcs.erase(valueOf(handle));
    return 1;
}

HDC Gdi::createCompatibleDCLocked(HDC reference)
{
    m_kernel.mutex().assertHeld();
    if (reference && !dcLocked(reference)) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return newDCLocked(DeviceContext::Kind::Memory, nullptr, std::nullopt);
}

bool Gdi::deleteDCLocked(HDC handle)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* dc = dcLocked(handle);
    // A window's DC is released, not deleted.
    if (!dc || dc->kind != DeviceContext::Kind::Memory) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    m_dcs.erase(valueOf(handle));
    return true;
}

HBITMAP Gdi::createBitmapLocked(Surface pixels)
{
    m_kernel.mutex().assertHeld();
    if (pixels.width() <= 0 || pixels.height() <= 0) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HBITMAP>(addObject({BitmapObject{std::move(pixels)}}));
}

HBITMAP Gdi::createBitmapLocked(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    m_kernel.mutex().assertHeld();
    const auto depth = bitmapDepth(bitsPerPixel);
    if (planes != 1 || !depth) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A negative size counts as its magnitude, as on Windows.
    const long long columns = std::llabs(width);
    const long long rows = std::llabs(height);
    if (columns == 0 || rows == 0)
        return static_cast<HBITMAP>(m_defaultBitmap);
    if (columns * rows > kMaxBitmapPixels) {
        kernel::setLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const auto w = static_cast<int>(columns);
    const auto h = static_cast<int>(rows);
    Surface pixels = bits ? pixelsFromRows(w, h, *depth, static_cast<const unsigned char*>(bits)) : Surface(w, h);
    const auto handle = static_cast<HBITMAP>(createBitmapLocked(std::move(pixels)));
    objectLocked(handle)->as<BitmapObject>()->bitsPerPixel = *depth;
    return handle;
}

HBITMAP Gdi::createCompatibleBitmapLocked(HDC dc, int width, int height)
{
    m_kernel.mutex().assertHeld();
    const DeviceContext* reference = dcLocked(dc);
    if (!reference) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (width < 0 || height < 0) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (width == 0 || height == 0)
        return static_cast<HBITMAP>(m_defaultBitmap);
    if (static_cast<long long>(width) * height > kMaxBitmapPixels) {
        kernel::setLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    int depth = 24;
    if (reference->kind == DeviceContext::Kind::Memory)
        if (const GdiObject* selected = objectLocked(reference->bitmap))
            depth = selected->as<BitmapObject>()->bitsPerPixel;
    const auto handle = createBitmapLocked(Surface(width, height));
    objectLocked(handle)->as<BitmapObject>()->bitsPerPixel = depth;
    return handle;
}

HBRUSH Gdi::createSolidBrushLocked(COLORREF colour)
{
    m_kernel.mutex().assertHeld();
    return static_cast<HBRUSH>(addObject({BrushObject{fromColorRef(colour), {}}}));
}

HBRUSH Gdi::createPatternBrushLocked(HBITMAP bitmap)
{
    m_kernel.mutex().assertHeld();
    const GdiObject* object = objectLocked(bitmap);
    const auto* pixels = object ? object->as<BitmapObject>() : nullptr;
    if (!pixels) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    BrushObject brush;
    brush.pattern = BrushPattern{*pixels, bitmap};
    return static_cast<HBRUSH>(addObject({std::move(brush)}));
}

HPEN Gdi::createPenLocked(int style, int width, COLORREF colour)
{
    m_kernel.mutex().assertHeld();
    if (style == PS_NULL)
        return static_cast<HPEN>(addObject({PenObject{std::nullopt, 1, 1}}));
    if (style != PS_SOLID) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A negative width counts as its magnitude, as on Windows.
    const int magnitude = std::abs(width);
    return static_cast<HPEN>(addObject({PenObject{fromColorRef(colour), std::max(magnitude, 1), magnitude}}));
}

HGDIOBJ Gdi::stockObjectLocked(int index) const
{
    m_kernel.mutex().assertHeld();
    const auto slot = static_cast<std::size_t>(index);  // a negative index wraps past the end
    if (slot >= m_stock.size() || !m_stock[slot]) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return m_stock[slot];
}

HGDIOBJ Gdi::selectObjectLocked(HDC handle, HGDIOBJ object)
{
    m_kernel.mutex().assertHeld();
    DeviceContext* dc = dcLocked(handle);
    const GdiObject* selected = objectLocked(object);
    if (!dc || !selected) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const auto swap = [object](HGDIOBJ& slot) { return std::exchange(slot, object); };
    if (selected->as<BitmapObject>()) {
        // A bitmap is drawn on through one memory DC at a time. Any depth goes into any memory
        // DC: the system makes it match the DC (CreateBitmap, Windows CE 5.0).
        const bool elsewhere = std::any_of(m_dcs.begin(), m_dcs.end(), [&](const auto& entry) {
            return &entry.second != dc && entry.second.bitmap == object;
        });
        if (dc->kind != DeviceContext::Kind::Memory || (elsewhere && object != m_defaultBitmap)) {
            kernel::setLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        return swap(dc->bitmap);
    }
    if (selected->as<BrushObject>())
        return swap(dc->brush);
    if (selected->as<PenObject>())
        return swap(dc->pen);
    return swap(dc->font);
}

bool Gdi::deleteObjectLocked(HGDIOBJ object)
{
    m_kernel.mutex().assertHeld();
    const GdiObject* found = objectLocked(object);
    if (!found) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (found->stock)
        return true;
    if (isSelectedLocked(object)) {
        kernel::setLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    m_objects.erase(valueOf(object));
    return true;
}

int Gdi::getObjectLocked(HGDIOBJ object, int size, void* out) const
{
    m_kernel.mutex().assertHeld();
    const GdiObject* found = objectLocked(object);
    if (!found) {
        kernel::setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    // A record goes out whole or not at all, as Windows gives it.
    const auto copyOut = [&](const auto& record, std::size_t least) -> int {
        if (!out)
            return static_cast<int>(sizeof record);
        if (size < 0 || static_cast<std::size_t>(size) < least) {
            kernel::setLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        const std::size_t n = std::min(static_cast<std::size_t>(size), sizeof record);
        std::memcpy(out, &record, n);
        return static_cast<int>(n);
    };
    if (const auto* bitmap = found->as<BitmapObject>()) {
        BITMAP bm{};
        bm.bmWidth = bitmap->pixels.width();
        bm.bmHeight = bitmap->pixels.height();
        bm.bmWidthBytes = bitmapRowBytes(bm.bmWidth, bitmap->bitsPerPixel);
        bm.bmPlanes = 1;
        bm.bmBitsPixel = static_cast<WORD>(bitmap->bitsPerPixel);
        bm.bmBits = nullptr;
        return copyOut(bm, sizeof bm);
    }
    if (const auto* brush = found->as<BrushObject>()) {
        LOGBRUSH lb{brush->colour ? BS_SOLID : BS_NULL, brush->colour ? toColorRef(*brush->colour) : 0, 0};
        if (brush->pattern)
            lb = LOGBRUSH{BS_PATTERN, 0, static_cast<LONG>(valueOf(brush->pattern->source))};
        // A brush's record, unlike a bitmap's, goes out as far as the buffer holds.
        return copyOut(lb, 0);
    }
    if (const auto* pen = found->as<PenObject>()) {
        const LOGPEN lp{pen->colour ? static_cast<UINT>(PS_SOLID) : static_cast<UINT>(PS_NULL), POINT{pen->givenWidth, 0},
                        pen->colour ? toColorRef(*pen->colour) : 0};
        return copyOut(lp, sizeof lp);
    }
    kernel::setLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

const Surface* Gdi::bitmapPixelsLocked(HGDIOBJ bitmap) const
{
    m_kernel.mutex().assertHeld();
    const GdiObject* found = objectLocked(bitmap);
    const auto* pixels = found ? found->as<BitmapObject>() : nullptr;
    return pixels ? &pixels->pixels : nullptr;
}

std::size_t Gdi::liveObjectsLocked() const
{
    m_kernel.mutex().assertHeld();
    return static_cast<std::size_t>(
        std::count_if(m_objects.begin(), m_objects.end(), [](const auto& entry) { return !entry.second.stock; }));
}

std::size_t Gdi::liveObjects() const
{
    std::lock_guard lock(m_kernel.mutex());
    return liveObjectsLocked();
}

std::size_t Gdi::liveDCs() const
{
    std::lock_guard lock(m_kernel.mutex());
    return liveDCsLocked();
}

void Gdi::freeProcessLocked(kernel::ProcessId pid)
{
    m_kernel.mutex().assertHeld();
    const auto dcs = m_dcs.eraseIf([pid](const auto& entry) { return entry.second.owner == pid; });
    const auto objects =
        m_objects.eraseIf([pid](const auto& entry) { return !entry.second.stock && entry.second.owner == pid; });
    // What a program forgot to free is reclaimed, and said, so a leak shows in any run.
    if (dcs || objects)
        m_kernel.effectLocked("gdi.leak", "pid=" + std::to_string(pid) + " objects=" + std::to_string(objects) +
                                              " dcs=" + std::to_string(dcs));
    // A DC of another owner that still held one of them goes back to the defaults.
    for (auto& [value, dc] : m_dcs) {
        const auto reset = [this](HGDIOBJ& slot, HGDIOBJ fallback) {
            if (slot && !objectLocked(slot))
                slot = fallback;
        };
        reset(dc.brush, m_stock[WHITE_BRUSH]);
        reset(dc.pen, m_stock[BLACK_PEN]);
        reset(dc.font, m_stock[SYSTEM_FONT]);
        if (dc.kind == DeviceContext::Kind::Memory)
            reset(dc.bitmap, m_defaultBitmap);
    }
}

}  // namespace velorin::gdi
