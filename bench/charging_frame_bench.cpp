// One whole charging frame on a 240 x 320 screen, every step drawn (both erases, both battery
// parts, the symbol, the gauge, three digits and the percent sign), through the device's GDI
// against the same copies, fills and colour-keyed copies done with pixman. The ratio of the two
// is the device's cost over a tuned raster library's; it should stay at most 1.5.
#include "boot/device.hpp"
#include "res/resource.h"
#include "res/velorin_resources.hpp"

#include <windows.h>

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace velorin;

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
// The frame's state: fill step 3 and the symbol on, so both battery parts and the symbol are
// drawn; level 5; the digits of 100, the most glyphs a frame draws.
constexpr int kFillStep = 3;
constexpr int kLevel = 5;
constexpr int kDigits[] = {1, 0, 0};
// Frames per timed batch in the ratio benchmark, so that reading the clock costs nothing.
constexpr int kBatch = 32;

struct Pictures {
    HBITMAP batteryFull = nullptr;
    HBITMAP batteryEmpty = nullptr;
    HBITMAP symbol = nullptr;
    HBITMAP gauge = nullptr;
    HBITMAP digits = nullptr;
};

SIZE sizeOf(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectW(bitmap, 24, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

void copyPicture(HDC dc, HDC memory, HBITMAP picture, int x, int y, int width, int height, int sx, int sy)
{
    const HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(dc, x, y, width, height, memory, sx, sy, SRCCOPY);
    SelectObject(memory, previous);
}

// The charging screen's frame, call for call.
void deviceFrame(HWND window, const Pictures& pictures)
{
    const HDC dc = GetDC(window);
    const HDC memory = CreateCompatibleDC(dc);
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    const SIZE battery = sizeOf(pictures.batteryEmpty);
    const SIZE symbol = sizeOf(pictures.symbol);
    const SIZE gauge = sizeOf(pictures.gauge);
    const int bx = (cx - battery.cx) / 2;
    const int by = (cy - battery.cy) / 2;
    const RECT percent{bx, by - 30, battery.cx + bx, by};
    const int sx = (cx - symbol.cx) / 2;
    const int sy = (cy - symbol.cy) / 2;
    const int gx = gauge.cx + battery.cx / 2 + (cx - gauge.cx) / 2;
    const int gy = (cy - gauge.cy) / 2 + 5;
    const int emptyGauge = (10 - kLevel) * gauge.cy / 10;

    const HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    const HGDIOBJ previousBrush = SelectObject(dc, black);
    Rectangle(dc, percent.left, percent.top, percent.right, percent.bottom);
    Rectangle(dc, gx, gy, gx + gauge.cx, gy + emptyGauge);
    SelectObject(dc, previousBrush);
    DeleteObject(black);

    const int grey = (5 - kFillStep) * battery.cy / 5;
    copyPicture(dc, memory, pictures.batteryEmpty, bx, by, battery.cx, grey, 0, 0);
    copyPicture(dc, memory, pictures.batteryFull, bx, by + grey, battery.cx, kFillStep * battery.cy / 5, 0, grey);
    HGDIOBJ previous = SelectObject(memory, pictures.symbol);
    TransparentImage(dc, sx, sy, symbol.cx, symbol.cy, memory, 0, 0, symbol.cx, symbol.cy, RGB(0, 0, 0));
    SelectObject(memory, previous);
    copyPicture(dc, memory, pictures.gauge, gx, gy + emptyGauge, gauge.cx, gauge.cy - emptyGauge, 0, emptyGauge);

    previous = SelectObject(memory, pictures.digits);
    const int x0 = percent.left + (percent.right - 19 * 3 - percent.left) / 2;
    const int y0 = percent.top + (percent.bottom - percent.top - 30) / 2;
    for (int i = 0; i < 3; ++i)
        TransparentImage(dc, x0 + 19 * i, y0, 19, 30, memory, 19 * kDigits[i], 0, 19, 30, RGB(0, 0, 0));
    TransparentImage(dc, x0 + 57, y0, 22, 30, memory, 190, 0, 22, 30, RGB(0, 0, 0));
    SelectObject(memory, previous);

    DeleteDC(memory);
    ReleaseDC(window, dc);
}

// A pixman image that owns a copy of its pixels.
struct PixmanPicture {
    std::vector<std::uint32_t> pixels;
    std::unique_ptr<pixman_image_t, decltype(&pixman_image_unref)> image{nullptr, &pixman_image_unref};
    int width = 0;
    int height = 0;
};

// Pictures keyed on black become a8r8g8b8 with black fully transparent, so that OVER is the
// colour-keyed copy; the others stay opaque x8r8g8b8.
PixmanPicture toPixman(const gdi::Surface& surface, bool keyed)
{
    PixmanPicture picture;
    picture.width = surface.width();
    picture.height = surface.height();
    picture.pixels.reserve(surface.pixels().size());
    for (const gdi::Rgb pixel : surface.pixels())
        picture.pixels.push_back(keyed && pixel == 0 ? 0u : (0xFF000000u | pixel));
    picture.image.reset(pixman_image_create_bits(keyed ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8, picture.width,
                                                 picture.height, picture.pixels.data(), picture.width * 4));
    return picture;
}

struct PixmanScene {
    PixmanPicture screen;
    PixmanPicture batteryFull;
    PixmanPicture batteryEmpty;
    PixmanPicture symbol;
    PixmanPicture gauge;
    PixmanPicture digits;
};

void pixmanCopy(pixman_op_t op, const PixmanPicture& from, PixmanPicture& to, int sx, int sy, int x, int y, int w,
                int h)
{
    pixman_image_composite32(op, from.image.get(), nullptr, to.image.get(), sx, sy, 0, 0, x, y, w, h);
}

// The same frame as deviceFrame, with the layout worked out the same way.
void pixmanFrame(PixmanScene& scene)
{
    const int cx = kScreenWidth;
    const int cy = kScreenHeight;
    const int bw = scene.batteryEmpty.width;
    const int bh = scene.batteryEmpty.height;
    const int bx = (cx - bw) / 2;
    const int by = (cy - bh) / 2;
    const int sx = (cx - scene.symbol.width) / 2;
    const int sy = (cy - scene.symbol.height) / 2;
    const int gx = scene.gauge.width + bw / 2 + (cx - scene.gauge.width) / 2;
    const int gy = (cy - scene.gauge.height) / 2 + 5;
    const int emptyGauge = (10 - kLevel) * scene.gauge.height / 10;

    const pixman_color_t black{0, 0, 0, 0xFFFF};
    const pixman_rectangle16_t erases[] = {
        {static_cast<std::int16_t>(bx), static_cast<std::int16_t>(by - 30), static_cast<std::uint16_t>(bw), 30},
        {static_cast<std::int16_t>(gx), static_cast<std::int16_t>(gy), static_cast<std::uint16_t>(scene.gauge.width),
         static_cast<std::uint16_t>(emptyGauge)},
    };
    pixman_image_fill_rectangles(PIXMAN_OP_SRC, scene.screen.image.get(), &black, 2, erases);

    const int grey = (5 - kFillStep) * bh / 5;
    pixmanCopy(PIXMAN_OP_SRC, scene.batteryEmpty, scene.screen, 0, 0, bx, by, bw, grey);
    pixmanCopy(PIXMAN_OP_SRC, scene.batteryFull, scene.screen, 0, grey, bx, by + grey, bw, kFillStep * bh / 5);
    pixmanCopy(PIXMAN_OP_OVER, scene.symbol, scene.screen, 0, 0, sx, sy, scene.symbol.width, scene.symbol.height);
    pixmanCopy(PIXMAN_OP_SRC, scene.gauge, scene.screen, 0, emptyGauge, gx, gy + emptyGauge, scene.gauge.width,
               scene.gauge.height - emptyGauge);
    const int x0 = bx + (bw - 19 * 3) / 2;
    for (int i = 0; i < 3; ++i)
        pixmanCopy(PIXMAN_OP_OVER, scene.digits, scene.screen, 19 * kDigits[i], 0, x0 + 19 * i, by - 30, 19, 30);
    pixmanCopy(PIXMAN_OP_OVER, scene.digits, scene.screen, 190, 0, x0 + 57, by - 30, 22, 30);
}

LRESULT blackProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

gdi::Surface bitmapPixels(HBITMAP bitmap)
{
    kernel::Kernel& kernel = kernel::Kernel::current();
    std::lock_guard lock(kernel.mutex());
    return *kernel.device().gdi().bitmapPixelsLocked(bitmap);
}

// Runs `body` on a device, inside a program that has the utility's pictures loaded and a shown
// full-screen window to draw into, and the pixman scene built from the same pictures.
void onDevice(benchmark::State& state, const std::function<void(HWND, const Pictures&, PixmanScene&)>& body)
{
    platform::Device device;
    const auto pid = device.launch(
        "frame",
        [&] {
            const HINSTANCE self = GetModuleHandleW(nullptr);
            Pictures pictures;
            pictures.batteryFull = LoadBitmapW(self, MAKEINTRESOURCEW(IDB_BATTERY_FULL));
            pictures.batteryEmpty = LoadBitmapW(self, MAKEINTRESOURCEW(IDB_BATTERY_EMPTY));
            pictures.symbol = LoadBitmapW(self, MAKEINTRESOURCEW(IDB_CHARGE_SYMBOL));
            pictures.gauge = LoadBitmapW(self, MAKEINTRESOURCEW(IDB_GAUGE));
            pictures.digits = LoadBitmapW(self, MAKEINTRESOURCEW(IDB_DIGITS));
            if (!pictures.batteryFull || !pictures.batteryEmpty || !pictures.symbol || !pictures.gauge ||
                !pictures.digits) {
                state.SkipWithError("the utility's pictures did not load");
                return 1;
            }
            WNDCLASSW cls{};
            cls.lpfnWndProc = blackProc;
            cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            cls.lpszClassName = L"Frame";
            RegisterClassW(&cls);
            const HWND window = CreateWindowExW(0, L"Frame", L"", WS_POPUP | WS_VISIBLE, 0, 0, kScreenWidth,
                                                kScreenHeight, nullptr, nullptr, self, nullptr);

            // The window starts black, as the charging screen paints it.
            const HDC screenDc = GetDC(window);
            const RECT whole{0, 0, kScreenWidth, kScreenHeight};
            FillRect(screenDc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            ReleaseDC(window, screenDc);

            PixmanScene scene;
            scene.screen = toPixman(gdi::Surface(kScreenWidth, kScreenHeight), false);
            scene.batteryFull = toPixman(bitmapPixels(pictures.batteryFull), false);
            scene.batteryEmpty = toPixman(bitmapPixels(pictures.batteryEmpty), false);
            scene.symbol = toPixman(bitmapPixels(pictures.symbol), true);
            scene.gauge = toPixman(bitmapPixels(pictures.gauge), false);
            scene.digits = toPixman(bitmapPixels(pictures.digits), true);

            // Both draw the same picture, or the comparison means nothing.
            deviceFrame(window, pictures);
            pixmanFrame(scene);
            const HDC dc = GetDC(window);
            for (int y = 0; y < kScreenHeight; ++y) {
                for (int x = 0; x < kScreenWidth; ++x) {
                    const COLORREF seen = GetPixel(dc, x, y);
                    const std::uint32_t drawn = scene.screen.pixels[static_cast<std::size_t>(y * kScreenWidth + x)];
                    const COLORREF expected = RGB((drawn >> 16) & 0xFF, (drawn >> 8) & 0xFF, drawn & 0xFF);
                    if (seen != expected) {
                        ReleaseDC(window, dc);
                        state.SkipWithError("the device's frame and pixman's differ");
                        return 1;
                    }
                }
            }
            ReleaseDC(window, dc);

            body(window, pictures, scene);
            DestroyWindow(window);
            for (const HBITMAP bitmap :
                 {pictures.batteryFull, pictures.batteryEmpty, pictures.symbol, pictures.gauge, pictures.digits})
                DeleteObject(bitmap);
            return 0;
        },
        res::resourceModule());
    device.runUntil(1);
    if (device.running(pid))
        state.SkipWithError("the frame program did not finish");
}

void BM_ChargingFrameDevice(benchmark::State& state)
{
    onDevice(state, [&](HWND window, const Pictures& pictures, PixmanScene&) {
        for (auto _ : state)
            deviceFrame(window, pictures);
    });
}
BENCHMARK(BM_ChargingFrameDevice)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ChargingFramePixman(benchmark::State& state)
{
    onDevice(state, [&](HWND, const Pictures&, PixmanScene& scene) {
        for (auto _ : state) {
            pixmanFrame(scene);
            benchmark::ClobberMemory();
        }
    });
}
BENCHMARK(BM_ChargingFramePixman)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The CPU time of the calling thread, which runs both kinds of frame: on a busy machine the
// wall clock would also count the time the thread waited for a core.
std::chrono::nanoseconds threadCpuTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// Batches of device frames and pixman frames in turn, so that both see the same machine; the
// counter "ratio" is the device's CPU time over pixman's.
void BM_ChargingFrameRatio(benchmark::State& state)
{
    std::chrono::nanoseconds deviceTime{};
    std::chrono::nanoseconds pixmanTime{};
    onDevice(state, [&](HWND window, const Pictures& pictures, PixmanScene& scene) {
        for (auto _ : state) {
            const auto start = threadCpuTime();
            for (int i = 0; i < kBatch; ++i)
                deviceFrame(window, pictures);
            const auto middle = threadCpuTime();
            for (int i = 0; i < kBatch; ++i) {
                pixmanFrame(scene);
                benchmark::ClobberMemory();
            }
            const auto end = threadCpuTime();
            deviceTime += middle - start;
            pixmanTime += end - middle;
        }
    });
    const double frames = static_cast<double>(state.iterations()) * kBatch;
    const auto us = [&](std::chrono::nanoseconds d) { return static_cast<double>(d.count()) / 1000.0 / frames; };
    if (frames > 0 && pixmanTime.count() > 0) {
        state.counters["device_us"] = us(deviceTime);
        state.counters["pixman_us"] = us(pixmanTime);
        state.counters["ratio"] = us(deviceTime) / us(pixmanTime);
    }
}
BENCHMARK(BM_ChargingFrameRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
