// Objects: what a new DC holds, SelectObject's previous object, stock objects, deletion rules,
// GetObjectW, and the counts that prove a drawing leaves nothing behind.
#include "gdi_test_support.hpp"

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velorin::test {
namespace {

using ObjectTest = GdiTest;

TEST_F(ObjectTest, SelectObjectReturnsThePreviousObjectOfTheSameKind)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH red = CreateSolidBrush(kRed);
    HBRUSH blue = CreateSolidBrush(kBlue);
    HPEN pen = CreatePen(PS_SOLID, 1, kGreen);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 24, nullptr);

    // A new DC holds the white brush, the black pen and a 1 x 1 default bitmap.
    EXPECT_EQ(SelectObject(dc, red), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, blue), red);
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    HGDIOBJ defaultBitmap = SelectObject(dc, bitmap);
    BITMAP bm{};
    ASSERT_NE(GetObjectW(defaultBitmap, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    // Putting each one back gives the one selected in its place.
    EXPECT_EQ(SelectObject(dc, defaultBitmap), bitmap);
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), pen);
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), blue);
    // A bad handle selects nothing.
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SelectObject(nullptr, red), nullptr);

    // The same DC draws with what is selected now.
    SelectObject(dc, bitmap);
    SelectObject(dc, blue);
    SelectObject(dc, GetStockObject(NULL_PEN));
    EXPECT_TRUE(Rectangle(dc, 0, 0, 5, 5));
    EXPECT_EQ(GetPixel(dc, 3, 3), kBlue);
    SelectObject(dc, defaultBitmap);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteDC(dc);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(red), static_cast<HGDIOBJ>(blue), static_cast<HGDIOBJ>(pen),
                           static_cast<HGDIOBJ>(bitmap)})
        EXPECT_TRUE(DeleteObject(object));
    EXPECT_EQ(device.gdi().liveObjects(), 0u);
    EXPECT_EQ(device.gdi().liveDCs(), 0u);
}

TEST_F(ObjectTest, StockObjectsAreFixedAndCannotBeDeleted)
{
    for (int index : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN,
                      BLACK_PEN, NULL_PEN, SYSTEM_FONT}) {
        HGDIOBJ stock = GetStockObject(index);
        ASSERT_NE(stock, nullptr) << index;
        EXPECT_EQ(GetStockObject(index), stock);
        EXPECT_TRUE(DeleteObject(stock));  // harmless
        EXPECT_EQ(GetStockObject(index), stock);
    }
    // Indices with no object, inside the stock range and on both sides of it.
    for (const int index : {9, -1, 31, 32, 1000})
        EXPECT_EQ(GetStockObject(index), nullptr) << index;
    EXPECT_EQ(device.gdi().liveObjects(), 0u);

    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectW(GetStockObject(GRAY_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, BS_SOLID);
    EXPECT_EQ(lb.lbColor, RGB(128, 128, 128));
    EXPECT_EQ(GetObjectW(GetStockObject(NULL_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, BS_NULL);

    // The stock brush paints after a "delete" as before.
    Canvas canvas(2, 2);
    const RECT all{0, 0, 2, 2};
    FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), kBlack);
}

TEST_F(ObjectTest, ObjectsInUseCannotBeDeletedAndDeletedHandlesAreDead)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HDC other = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 3);
    HBRUSH brush = CreateSolidBrush(kRed);
    HGDIOBJ defaultBitmap = SelectObject(dc, bitmap);
    HGDIOBJ whiteBrush = SelectObject(dc, brush);

    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(device.gdi().liveObjects(), 2u);
    // A bitmap is in one memory DC at a time, and never in a window's.
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    windows[windowHandle(1)] = FakeWindow{gdi::Surface(4, 4), {0, 0}, {0, 0, 4, 4}};
    HDC windowDC = GetDC(windowHandle(1));
    EXPECT_EQ(SelectObject(windowDC, bitmap), nullptr);
    ReleaseDC(windowHandle(1), windowDC);

    SelectObject(dc, defaultBitmap);
    SelectObject(dc, whiteBrush);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SelectObject(dc, brush), nullptr);
    BITMAP bm{};
    EXPECT_EQ(GetObjectW(bitmap, sizeof bm, &bm), 0);

    // A DC deleted with a bitmap in it lets the bitmap go.
    HBITMAP kept = CreateCompatibleBitmap(other, 2, 2);
    SelectObject(other, kept);
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_TRUE(DeleteObject(kept));
    EXPECT_FALSE(DeleteDC(other));
    EXPECT_FALSE(Rectangle(other, 0, 0, 1, 1));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(device.gdi().liveObjects(), 0u);
    EXPECT_EQ(device.gdi().liveDCs(), 0u);
}

TEST_F(ObjectTest, GetObjectWFillsTheWholeBitmapRecordOrNothing)
{
    HBITMAP bitmap = CreateBitmap(7, 3, 1, 24, nullptr);
    BITMAP bm;
    std::memset(&bm, 0xAB, sizeof bm);
    EXPECT_EQ(GetObjectW(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmType, 0);
    EXPECT_EQ(bm.bmWidth, 7);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmWidthBytes, 22);  // 21 bytes, rounded up to a whole word
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    EXPECT_EQ(bm.bmBits, nullptr);
    EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(GetObjectW(bitmap, sizeof bm + 8, &bm), static_cast<int>(sizeof bm));

    // A 32-bit target's record size is short of this host's pointer: nothing is written, as a
    // 64-bit Windows does, so a program that passes a number instead of sizeof shows at once.
    std::memset(&bm, 0xAB, sizeof bm);
    EXPECT_EQ(GetObjectW(bitmap, sizeof bm - sizeof bm.bmBits, &bm), 0);
    EXPECT_EQ(bm.bmWidth, static_cast<LONG>(0xABABABAB));
    EXPECT_EQ(GetObjectW(bitmap, 19, &bm), 0);
    // A pen's record is its own.
    EXPECT_EQ(GetObjectW(GetStockObject(BLACK_PEN), sizeof bm, &bm), static_cast<int>(sizeof(LOGPEN)));
    DeleteObject(bitmap);
}

TEST_F(ObjectTest, CreateBitmapReadsBlueGreenRedRowsPaddedToWords)
{
    // 3 pixels make 9 bytes a row, padded to 10.
    const unsigned char bits[] = {
        0, 0, 255, 0, 255, 0, 255, 0, 0, 0xEE, 255, 255, 255, 0, 0, 0, 128, 128, 128, 0xEE,
    };
    HBITMAP bitmap = CreateBitmap(3, 2, 1, 24, bits);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(picture(dc, 3, 2), (std::vector<std::string>{"rgb", "wk."}));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    EXPECT_EQ(CreateBitmap(3, 2, 1, 33, bits), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CreateBitmap(3, 2, 2, 24, bits), nullptr);
}

TEST_F(ObjectTest, CreateBitmapReadsTheRowsOfEachDepth)
{
    // Row bytes: 2 at 1, 2 and 4 bits; 4 at 8 bits and 16 (5-5-5, low byte first); 12 at 32.
    const unsigned char one[] = {0x40, 0, 0x80, 0};
    const unsigned char two[] = {0x14, 0, 0xD4, 0};
    const unsigned char four[] = {0x9A, 0, 0xC7, 0};
    const unsigned char eight[] = {0, 0xF9, 0xFA, 0, 0xFC, 0xFF, 0x07, 0};
    const unsigned char sixteen[] = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F, 0x10, 0x42, 0x00, 0x00};
    const unsigned char thirtyTwo[] = {0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9,
                                       255, 255, 255, 9, 0, 0, 0, 9, 128, 128, 128, 9};
    const std::pair<UINT, const unsigned char*> depths[] = {{1, one},     {2, two},         {4, four},
                                                            {8, eight}, {16, sixteen}, {32, thirtyTwo}};
    const std::map<UINT, std::vector<std::string>> expected = {
        {1, {"kwk", "wkk"}}, {2, {"k..", "w.."}}, {4, {"rgk", "b?k"}},
        {8, {"krg", "bw?"}}, {16, {"rgb", "w?k"}}, {32, {"rgb", "wk."}}};
    for (const auto& [depth, bits] : depths) {
        HBITMAP bitmap = CreateBitmap(3, 2, 1, depth, bits);
        BITMAP info{};
        ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmBitsPixel, depth);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        EXPECT_EQ(picture(dc, 3, 2), expected.at(depth)) << depth << " bits";
        // What a drawing leaves is in the bitmap's colours.
        if (depth == 16) {
            EXPECT_EQ(SetPixel(dc, 0, 0, RGB(0x12, 0x34, 0x56)), RGB(0x10, 0x31, 0x52));
            EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x10, 0x31, 0x52));
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

// A frame as the charging screen draws one: window DC, memory DC, a black brush for the
// erases, each picture selected in turn and selected back.
void drawFrame(HWND window, HBITMAP battery, HBITMAP symbol)
{
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(dc, black);
    Rectangle(dc, 0, 0, 4, 2);
    SelectObject(dc, oldBrush);
    DeleteObject(black);
    BITMAP bm{};
    GetObjectW(battery, sizeof bm, &bm);
    HGDIOBJ old = SelectObject(memory, battery);
    BitBlt(dc, 0, 2, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    GetObjectW(symbol, sizeof bm, &bm);
    old = SelectObject(memory, symbol);
    TransparentImage(dc, 1, 2, bm.bmWidth, bm.bmHeight, reinterpret_cast<HANDLE>(memory), 0, 0, bm.bmWidth, bm.bmHeight,
                     RGB(0, 0, 0));
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(window, dc);
}

TEST_F(ObjectTest, AFrameLeavesNothingBehindAndAProcessEndFreesWhatItLeft)
{
    const HWND window = windowHandle(1);
    windows[window] = FakeWindow{gdi::Surface(6, 6, gdi::rgb(128, 128, 128)), {0, 0}, {0, 0, 6, 6}};
    const unsigned char green[] = {0, 255, 0, 0, 255, 0, 0, 0};         // 2 x 1, padded
    const unsigned char symbolBits[] = {0, 0, 0, 255, 255, 255, 0, 0};  // black, white
    std::size_t objectsDuringFrame = 0;
    runProgram(device, [&] {
        HBITMAP battery = CreateBitmap(2, 1, 1, 24, green);
        HBITMAP symbol = CreateBitmap(2, 1, 1, 24, symbolBits);
        for (int frame = 0; frame < 3; ++frame) {
            drawFrame(window, battery, symbol);
            objectsDuringFrame = device.gdi().liveObjects();
            EXPECT_EQ(device.gdi().liveDCs(), 0u);
        }
        DeleteObject(battery);
        DeleteObject(symbol);
        EXPECT_EQ(device.gdi().liveObjects(), 0u);
    });
    EXPECT_EQ(objectsDuringFrame, 2u);  // the two pictures only
    EXPECT_EQ(surfacePicture(window), (std::vector<std::string>{
                                          "kkkk..",
                                          "kkkk..",
                                          "ggw...",
                                          "......",
                                          "......",
                                          "......",
                                      }));

    // A program that ends with objects and DCs still held leaves none of them behind.
    runProgram(device, [&] {
        HDC dc = GetDC(window);
        HDC memory = CreateCompatibleDC(dc);
        SelectObject(memory, CreateCompatibleBitmap(dc, 2, 2));
        SelectObject(dc, CreateSolidBrush(kRed));
        CreatePen(PS_SOLID, 1, kRed);
        EXPECT_EQ(device.gdi().liveObjects(), 3u);
        EXPECT_EQ(device.gdi().liveDCs(), 2u);
    });
    EXPECT_EQ(device.gdi().liveObjects(), 0u);
    EXPECT_EQ(device.gdi().liveDCs(), 0u);
}

TEST(GdiHandles, AreTheSameSmallValuesInEveryRun)
{
    const auto handles = [] {
        Device device;
        std::vector<std::uintptr_t> values;
        HDC dc = CreateCompatibleDC(nullptr);
        HBRUSH brush = CreateSolidBrush(kRed);
        DeleteObject(brush);
        HBRUSH again = CreateSolidBrush(kRed);
        for (const void* h : {static_cast<const void*>(dc), static_cast<const void*>(brush),
                              static_cast<const void*>(again), static_cast<const void*>(GetStockObject(BLACK_PEN))})
            values.push_back(reinterpret_cast<std::uintptr_t>(h));
        return values;
    };
    const auto first = handles();
    EXPECT_EQ(first, handles());
    for (const auto value : first)
        EXPECT_LE(value, 0xFFFFFFFFu);  // as on the 32-bit device
    EXPECT_NE(first[1], first[2]);      // a deleted handle does not come back
}

}  // namespace
}  // namespace velorin::test
