// One whole charging frame on a 240 x 320 screen, every step drawn (both erases, both battery
// parts, the symbol, the gauge, three digits and the percent sign), through the device's GDI
// against the same copies, fills and colour-keyed copies done with pixman, and against plain
// memcpy of the bytes the frame copies. The device's cost should stay at most a tuned raster
// library's and within 1.5 times the bare copies'.
#include "boot/device.hpp"
#include "res/resource.h"
#include "sim/harness/velorin_resources.hpp"

#include <windows.h>

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
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
    GetObjectW(bitmap, sizeof info, &info);
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
    TransparentImage(dc, sx, sy, symbol.cx, symbol.cy, reinterpret_cast<HANDLE>(memory), 0, 0, symbol.cx, symbol.cy,
                     RGB(0, 0, 0));
    SelectObject(memory, previous);
    copyPicture(dc, memory, pictures.gauge, gx, gy + emptyGauge, gauge.cx, gauge.cy - emptyGauge, 0, emptyGauge);

    previous = SelectObject(memory, pictures.digits);
    const int x0 = percent.left + (percent.right - 19 * 3 - percent.left) / 2;
    const int y0 = percent.top + (percent.bottom - percent.top - 30) / 2;
    for (int i = 0; i < 3; ++i)
        TransparentImage(dc, x0 + 19 * i, y0, 19, 30, reinterpret_cast<HANDLE>(memory), 19 * kDigits[i], 0, 19, 30,
                         RGB(0, 0, 0));
    TransparentImage(dc, x0 + 57, y0, 22, 30, reinterpret_cast<HANDLE>(memory), 190, 0, 22, 30, RGB(0, 0, 0));
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

// One copy of the frame: a part of a picture to a place on the screen, keyed on black or not.
struct FrameCopy {
    const PixmanPicture* from;
    int sx, sy, x, y, w, h;
    bool keyed;
};

// The frame's erases and copies, with the layout worked out as deviceFrame does.
struct FramePlan {
    pixman_rectangle16_t erases[2];
    std::vector<FrameCopy> copies;
};

FramePlan planFrame(const PixmanScene& scene)
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
    const int grey = (5 - kFillStep) * bh / 5;
    const int x0 = bx + (bw - 19 * 3) / 2;

    FramePlan plan{{{static_cast<std::int16_t>(bx), static_cast<std::int16_t>(by - 30), static_cast<std::uint16_t>(bw), 30},
                    {static_cast<std::int16_t>(gx), static_cast<std::int16_t>(gy),
                     static_cast<std::uint16_t>(scene.gauge.width), static_cast<std::uint16_t>(emptyGauge)}},
                   {}};
    plan.copies = {
        {&scene.batteryEmpty, 0, 0, bx, by, bw, grey, false},
        {&scene.batteryFull, 0, grey, bx, by + grey, bw, kFillStep * bh / 5, false},
        {&scene.symbol, 0, 0, sx, sy, scene.symbol.width, scene.symbol.height, true},
        {&scene.gauge, 0, emptyGauge, gx, gy + emptyGauge, scene.gauge.width, scene.gauge.height - emptyGauge, false},
    };
    for (int i = 0; i < 3; ++i)
        plan.copies.push_back({&scene.digits, 19 * kDigits[i], 0, x0 + 19 * i, by - 30, 19, 30, true});
    plan.copies.push_back({&scene.digits, 190, 0, x0 + 57, by - 30, 22, 30, true});
    return plan;
}

// The same frame as deviceFrame.
void pixmanFrame(PixmanScene& scene, const FramePlan& plan)
{
    const pixman_color_t black{0, 0, 0, 0xFFFF};
    pixman_image_fill_rectangles(PIXMAN_OP_SRC, scene.screen.image.get(), &black, 2, plan.erases);
    for (const FrameCopy& copy : plan.copies)
        pixman_image_composite32(copy.keyed ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, copy.from->image.get(), nullptr,
                                 scene.screen.image.get(), copy.sx, copy.sy, 0, 0, copy.x, copy.y, copy.w, copy.h);
}

// Only the bytes that the frame copies, row by row with plain memcpy: the floor under any way of
// drawing it.
void memcpyFrame(PixmanScene& scene, const FramePlan& plan)
{
    for (const FrameCopy& copy : plan.copies) {
        for (int row = 0; row < copy.h; ++row)
            std::memcpy(&scene.screen.pixels[static_cast<std::size_t>((copy.y + row) * kScreenWidth + copy.x)],
                        &copy.from->pixels[static_cast<std::size_t>((copy.sy + row) * copy.from->width + copy.sx)],
                        static_cast<std::size_t>(copy.w) * 4);
    }
}

std::size_t copiedBytes(const FramePlan& plan)
{
    std::size_t bytes = 0;
    for (const FrameCopy& copy : plan.copies)
        bytes += static_cast<std::size_t>(copy.w) * static_cast<std::size_t>(copy.h) * 4;
    return bytes;
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
            pixmanFrame(scene, planFrame(scene));
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
        const FramePlan plan = planFrame(scene);
        for (auto _ : state) {
            pixmanFrame(scene, plan);
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

// Batches of device frames, pixman frames and memcpy frames in turn, so that all see the same
// machine; the counter "ratio" is the device's CPU time over pixman's, "ratio_memcpy" over the
// plain copies'.
void BM_ChargingFrameRatio(benchmark::State& state)
{
    std::chrono::nanoseconds deviceTime{};
    std::chrono::nanoseconds pixmanTime{};
    std::chrono::nanoseconds memcpyTime{};
    std::size_t bytes = 0;
    onDevice(state, [&](HWND window, const Pictures& pictures, PixmanScene& scene) {
        const FramePlan plan = planFrame(scene);
        bytes = copiedBytes(plan);
        for (auto _ : state) {
            const auto start = threadCpuTime();
            for (int i = 0; i < kBatch; ++i)
                deviceFrame(window, pictures);
            const auto middle = threadCpuTime();
            for (int i = 0; i < kBatch; ++i) {
                pixmanFrame(scene, plan);
                benchmark::ClobberMemory();
            }
            const auto end = threadCpuTime();
            for (int i = 0; i < kBatch; ++i) {
                memcpyFrame(scene, plan);
                benchmark::ClobberMemory();
            }
            const auto last = threadCpuTime();
            deviceTime += middle - start;
            pixmanTime += end - middle;
            memcpyTime += last - end;
        }
    });
    const double frames = static_cast<double>(state.iterations()) * kBatch;
    const auto us = [&](std::chrono::nanoseconds d) { return static_cast<double>(d.count()) / 1000.0 / frames; };
    if (frames > 0 && pixmanTime.count() > 0) {
        state.counters["device_us"] = us(deviceTime);
        state.counters["pixman_us"] = us(pixmanTime);
        state.counters["ratio"] = us(deviceTime) / us(pixmanTime);
    }
    if (frames > 0 && memcpyTime.count() > 0) {
        state.counters["memcpy_us"] = us(memcpyTime);
        state.counters["ratio_memcpy"] = us(deviceTime) / us(memcpyTime);
        state.counters["copied_bytes"] = static_cast<double>(bytes);
    }
}
BENCHMARK(BM_ChargingFrameRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
