// Helpers of the graphics tests: canvases, pictures of pixels as letters, a stand-in window.
#pragma once

#include "../support/device_test_support.hpp"
#include "gdi/gdi.hpp"
#include "gdi/raster.hpp"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace velorin::test {

inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr COLORREF kGrey = RGB(128, 128, 128);

// One letter a colour: k black, w white, r red, g green, b blue, . grey; '?' for any other.
inline char letterOf(COLORREF c)
{
    static const std::map<COLORREF, char> letters = {{kBlack, 'k'}, {kWhite, 'w'}, {kRed, 'r'},
                                                     {kGreen, 'g'}, {kBlue, 'b'},  {kGrey, '.'}};
    const auto it = letters.find(c);
    return it == letters.end() ? '?' : it->second;
}

// The DC's pixels (0, 0) to (width, height) as rows of letters.
inline std::vector<std::string> picture(HDC dc, int width, int height)
{
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row += letterOf(GetPixel(dc, x, y));
        rows.push_back(row);
    }
    return rows;
}

// A memory DC with a bitmap of its own selected, filled with one colour.
class Canvas {
public:
    // A bitmap of the screen's kind: one compatible with a new memory DC would be monochrome.
    Canvas(int width, int height, COLORREF fill = kGrey)
        : m_dc(CreateCompatibleDC(nullptr)), m_bitmap(CreateBitmap(width, height, 1, 24, nullptr)),
          m_previous(SelectObject(m_dc, m_bitmap))
    {
        HBRUSH brush = CreateSolidBrush(fill);
        const RECT all{0, 0, width, height};
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
};

// A device without a window manager of its own: windows are surfaces that the test holds.
class GdiTest : public ::testing::Test {
protected:
    struct FakeWindow {
        gdi::Surface surface;
        POINT clientOrigin{};
        RECT clip{};
        bool exists = true;
    };

    GdiTest()
    {
        device.gdi().setWindowResolver([this](HWND hwnd) -> std::optional<gdi::WindowTarget> {
            const auto it = windows.find(hwnd);
            if (it == windows.end() || !it->second.exists)
                return std::nullopt;
            return gdi::WindowTarget{&it->second.surface, it->second.clientOrigin, it->second.clip};
        });
    }

    static HWND windowHandle(int n) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1000 + n)); }

    // Letters of a fake window's whole surface.
    std::vector<std::string> surfacePicture(HWND hwnd) const
    {
        const gdi::Surface& s = windows.at(hwnd).surface;
        std::vector<std::string> rows;
        for (int y = 0; y < s.height(); ++y) {
            std::string row;
            for (int x = 0; x < s.width(); ++x)
                row += letterOf(gdi::toColorRef(s.pixel(x, y)));
            rows.push_back(row);
        }
        return rows;
    }

    std::map<HWND, FakeWindow> windows;
    Device device;  // last: its threads stop before the members they use go
};

}  // namespace velorin::test
