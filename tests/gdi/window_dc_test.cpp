// Device contexts of windows: drawing lands in the client area of the window's surface,
// clipped to it (and to the invalid part while painting), and follows the window.
#include "gdi_test_support.hpp"

namespace velorin::test {
namespace {

using Rows = std::vector<std::string>;

class WindowDCTest : public GdiTest {
protected:
    WindowDCTest()
    {
        // An 8 x 6 surface whose client area starts at (2, 1) and is 5 x 4.
        windows[window] = FakeWindow{gdi::Surface(8, 6, gdi::rgb(128, 128, 128)), {2, 1}, {2, 1, 7, 5}};
    }
    const HWND window = windowHandle(7);
};

TEST_F(WindowDCTest, DrawingIsInClientCoordinatesAndClippedToTheClientArea)
{
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(device.gdi().liveDCs(), 1u);
    HBRUSH red = CreateSolidBrush(kRed);
    const RECT everything{-10, -10, 20, 20};
    EXPECT_TRUE(FillRect(dc, &everything, red));
    EXPECT_TRUE(Rectangle(dc, 1, 1, 3, 3));
    EXPECT_EQ(SetPixel(dc, 4, 3, kBlue), kBlue);
    EXPECT_EQ(SetPixel(dc, 5, 3, kBlue), CLR_INVALID);  // just outside the client area
    EXPECT_EQ(GetPixel(dc, 4, 3), kBlue);
    EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID);
    EXPECT_EQ(surfacePicture(window), (Rows{
                                          "........",
                                          "..rrrrr.",
                                          "..rkkrr.",
                                          "..rkkrr.",
                                          "..rrrrb.",
                                          "........",
                                      }));
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(device.gdi().liveDCs(), 0u);
    EXPECT_FALSE(Rectangle(dc, 0, 0, 1, 1));
    DeleteObject(red);
}

TEST_F(WindowDCTest, APaintDCDrawsOnlyTheInvalidPart)
{
    std::lock_guard lock(device.kernel().mutex());
    gdi::Gdi& gdi = device.gdi();
    const HDC dc = gdi.openWindowDCLocked(window, RECT{1, 1, 3, 9});
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(gdi.fillRectLocked(dc, RECT{0, 0, 5, 4}, static_cast<HBRUSH>(gdi.stockObjectLocked(WHITE_BRUSH))));
    EXPECT_TRUE(gdi.releaseWindowDCLocked(dc));
    EXPECT_FALSE(gdi.releaseWindowDCLocked(dc));
    EXPECT_EQ(surfacePicture(window), (Rows{
                                          "........",
                                          "........",
                                          "...ww...",
                                          "...ww...",
                                          "...ww...",
                                          "........",
                                      }));
}

TEST_F(WindowDCTest, ReleaseAndDeleteTakeOnlyTheirOwnKindOfDC)
{
    HDC dc = GetDC(window);
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(ReleaseDC(windowHandle(8), dc), 0);
    HDC memory = CreateCompatibleDC(dc);
    EXPECT_EQ(ReleaseDC(window, memory), 0);
    EXPECT_EQ(device.gdi().liveDCs(), 2u);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_TRUE(DeleteDC(memory));

    EXPECT_EQ(GetDC(windowHandle(8)), nullptr);
    EXPECT_EQ(GetLastError(), 1400u);  // ERROR_INVALID_WINDOW_HANDLE
    EXPECT_EQ(device.gdi().liveDCs(), 0u);
}

TEST_F(WindowDCTest, ADCFollowsItsWindowAndFailsOnceTheWindowIsGone)
{
    HDC dc = GetDC(window);
    Canvas canvas(3, 3, kGreen);
    // The window moves within its surface between two calls.
    windows[window].clientOrigin = POINT{0, 0};
    windows[window].clip = RECT{0, 0, 8, 6};
    EXPECT_TRUE(BitBlt(dc, 0, 0, 2, 2, canvas.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(surfacePicture(window)[0], "gg......");
    // Reading from a window reads its client area only.
    Canvas copy(4, 4, kBlue);
    EXPECT_TRUE(BitBlt(copy.dc(), 0, 0, 4, 4, dc, 6, 4, SRCCOPY));
    EXPECT_EQ(picture(copy.dc(), 4, 4), (Rows{"..bb", "..bb", "bbbb", "bbbb"}));

    windows[window].exists = false;
    EXPECT_FALSE(Rectangle(dc, 0, 0, 2, 2));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
}

TEST_F(WindowDCTest, TheScreensDCDrawsOnTheScreenAndReadsItBack)
{
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    HBRUSH red = CreateSolidBrush(kRed);
    const RECT part{-5, -5, 2, 1};
    EXPECT_TRUE(FillRect(screen, &part, red));
    EXPECT_EQ(SetPixel(screen, 3, 0, kBlue), kBlue);
    EXPECT_EQ(GetPixel(screen, 1, 0), kRed);
    const gdi::Surface shown = device.windows().composeScreen();
    EXPECT_EQ(gdi::toColorRef(shown.pixel(0, 0)), kRed);
    EXPECT_EQ(gdi::toColorRef(shown.pixel(3, 0)), kBlue);
    EXPECT_EQ(gdi::toColorRef(shown.pixel(2, 0)), kBlack);
    EXPECT_EQ(GetPixel(screen, shown.width(), 0), CLR_INVALID);
    EXPECT_EQ(ReleaseDC(window, screen), 0);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    DeleteObject(red);
}

}  // namespace
}  // namespace velorin::test
