// The utility's resource module as windres makes it from res/velorin.rc: the two dialog
// templates exactly, the five bitmaps, the icon group, and the dialogs' sizes in pixels.
#include "sim/harness/velorin_resources.hpp"
#include "resource_test_support.hpp"
#include "resources/dialog_template_parser.hpp"
#include "resources/dialog_units.hpp"
#include "gdi/dib.hpp"
#include "resources/resource_manager.hpp"

#include <mutex>

namespace velorin::test {
namespace {

// The UI font's letters "A".."Z" "a".."z" measure 318 pixels: (318 / 26 + 1) / 2 = 6 pixels a
// character; its lines are 13 pixels high.
constexpr int kBaseX = 6;
constexpr int kBaseY = 13;
// MulDiv rounds: 54 units are 54 * 13 / 8 = 87.75, so 88 pixels; 7 units 7 * 6 / 4 = 10.5, so 11.
constexpr LONG kScreenWidth = 207, kScreenHeight = 146;
constexpr LONG kPromptWidth = 186, kPromptHeight = 88;
constexpr LONG kDismissRect[] = {11, 54, 86, 76};
constexpr LONG kCloseRect[] = {101, 54, 176, 76};
constexpr LONG kTextRect[] = {11, 10, 176, 50};

using resources::DialogItem;
using resources::DialogTemplate;
using resources::ResourceKey;
using resources::ResourceModule;

const ResourceModule& module()
{
    static const ResourceModule parsed = ResourceModule::parse(res::resourceModule(), "velorin.res");
    return parsed;
}

DialogTemplate dialog(WORD id)
{
    const auto* entry = module().find(ResourceKey::of(resources::kRtDialog), ResourceKey::of(id));
    if (!entry)
        throw std::runtime_error("no dialog template " + std::to_string(id));
    return resources::parseDialogTemplate(module().data(*entry));
}

void expectDialogFont(const DialogTemplate& t)
{
    EXPECT_EQ(t.fontPointSize, 8);
    EXPECT_EQ(t.fontFace, L"MS Shell Dlg");
    EXPECT_EQ(t.fontWeight, 0);
    EXPECT_FALSE(t.fontItalic);
    EXPECT_EQ(t.fontCharset, 1);
}

TEST(VelorinResources, ChargeScreenTemplate102)
{
    const DialogTemplate t = dialog(102);
    EXPECT_EQ(t.style, 0x80000048u);
    EXPECT_EQ(t.style, WS_POPUP | DS_SETFONT | DS_FIXEDSYS);
    EXPECT_FALSE(t.style & WS_VISIBLE);
    EXPECT_EQ(t.exStyle, 0x80040000u);
    EXPECT_EQ(t.exStyle, WS_EX_CAPTIONOKBTN | WS_EX_APPWINDOW);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 138);
    EXPECT_EQ(t.cy, 90);
    EXPECT_EQ(t.caption, L"");
    EXPECT_TRUE(t.items.empty());
    EXPECT_TRUE(t.menu.empty());
    EXPECT_TRUE(t.windowClass.empty());
    expectDialogFont(t);
}

TEST(VelorinResources, CloseConfirmationTemplate135)
{
    const DialogTemplate t = dialog(135);
    EXPECT_EQ(t.style, 0x80C800C8u);
    EXPECT_EQ(t.style, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS);
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 124);
    EXPECT_EQ(t.cy, 54);
    EXPECT_EQ(t.caption, L"Velorin");
    expectDialogFont(t);

    struct Expected {
        int id;
        std::wstring className;
        short x, y, cx, cy;
        DWORD style;
        std::wstring text;
    };
    const Expected expected[] = {
        {1000, L"BUTTON", 7, 33, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"Dismiss"},
        {1001, L"BUTTON", 67, 33, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"Close"},
        {-1, L"STATIC", 7, 6, 110, 25, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT,
         L"Do you want to close \nbattery charging dialog?"},
    };
    ASSERT_EQ(t.items.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const DialogItem& item = t.items[i];
        const Expected& e = expected[i];
        EXPECT_EQ(item.id, e.id) << i;
        EXPECT_EQ(item.className, e.className) << i;
        EXPECT_EQ(item.x, e.x) << i;
        EXPECT_EQ(item.y, e.y) << i;
        EXPECT_EQ(item.cx, e.cx) << i;
        EXPECT_EQ(item.cy, e.cy) << i;
        EXPECT_EQ(item.style, e.style) << i;
        EXPECT_EQ(item.exStyle, 0u) << i;
        EXPECT_EQ(item.text, e.text) << i;
        EXPECT_EQ(item.textOrdinal, 0) << i;
    }
    // Neither button is the default one.
    EXPECT_EQ(t.items[0].style & 0xF, BS_PUSHBUTTON);
    EXPECT_EQ(t.items[1].style & 0xF, BS_PUSHBUTTON);
    EXPECT_EQ(t.items[2].text.find(L'\n'), std::wstring(L"Do you want to close ").size());
}

TEST(VelorinResources, BitmapsLoadAtTheirSizes)
{
    platform::Device device;
    struct Size {
        int id, width, height;
    };
    const Size sizes[] = {{130, 104, 216}, {131, 104, 216}, {132, 56, 82}, {133, 11, 170}, {134, 212, 30}};
    std::vector<BITMAP> got;
    runWithResources(device, res::resourceModule(), [&] {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        for (const Size& s : sizes) {
            const HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(static_cast<WORD>(s.id)));
            BITMAP info{};
            EXPECT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info)) << s.id;
            got.push_back(info);
            EXPECT_TRUE(DeleteObject(bitmap));
        }
    });
    ASSERT_EQ(got.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(got[i].bmWidth, sizes[i].width) << sizes[i].id;
        EXPECT_EQ(got[i].bmHeight, sizes[i].height) << sizes[i].id;
    }
    EXPECT_EQ(device.gdi().liveObjects(), 0u);
}

TEST(VelorinResources, IconGroup128HoldsNineImagesAndLoadsThe32PixelTrueColourOne)
{
    const auto* group = module().find(ResourceKey::of(resources::kRtGroupIcon), ResourceKey::of(WORD{128}));
    ASSERT_NE(group, nullptr);
    const auto images = resources::parseIconGroup(module().data(*group), "icon group 128");
    std::vector<std::pair<int, int>> sizeAndBits;
    for (const auto& image : images) {
        EXPECT_EQ(image.width, image.height);
        sizeAndBits.emplace_back(image.width, image.bitCount);
        // Each image is there and is what its directory entry says.
        const auto* entry = module().find(ResourceKey::of(resources::kRtIcon), ResourceKey::of(image.id));
        ASSERT_NE(entry, nullptr) << image.id;
        EXPECT_EQ(entry->size, image.bytes);
        const auto dib = gdi::readDibInfo(module().data(*entry), "icon", gdi::DibUse::IconImage);
        EXPECT_EQ(dib.width, image.width);
        EXPECT_EQ(dib.height, 2 * image.height);
        EXPECT_EQ(dib.bitCount, image.bitCount);
    }
    std::sort(sizeAndBits.begin(), sizeAndBits.end());
    EXPECT_EQ(sizeAndBits, (std::vector<std::pair<int, int>>{
                               {16, 4}, {16, 8}, {16, 24}, {32, 4}, {32, 8}, {32, 24}, {48, 4}, {48, 8}, {48, 24}}));

    platform::Device device;
    HICON first = nullptr, again = nullptr;
    runWithResources(device, res::resourceModule(), [&] {
        first = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
        again = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
    });
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(again, first);
    std::lock_guard lock(device.kernel().mutex());
    const resources::Icon* icon = device.resources().iconLocked(first);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->image.width, 32);
    EXPECT_EQ(icon->image.bitCount, 24);
}

// The dialog font's base units, measured from the UI font, and what they make of the two
// templates: the window manager sizes the dialogs (client areas) and controls by these.
TEST(VelorinResources, DialogUnitsBecomePixelsThroughTheUiFontsBaseUnits)
{
    const SIZE base = resources::dialogBaseUnits();
    EXPECT_EQ(base.cx, kBaseX);
    EXPECT_EQ(base.cy, kBaseY);

    const auto pixels = [](const auto& t) {
        return resources::dialogUnitsToPixels(RECT{t.x, t.y, t.x + t.cx, t.y + t.cy});
    };
    const auto expectRect = [](const RECT& r, LONG l, LONG t, LONG rr, LONG b) {
        EXPECT_EQ(r.left, l);
        EXPECT_EQ(r.top, t);
        EXPECT_EQ(r.right, rr);
        EXPECT_EQ(r.bottom, b);
    };
    const DialogTemplate screen = dialog(102);
    const DialogTemplate prompt = dialog(135);
    expectRect(pixels(screen), 0, 0, kScreenWidth, kScreenHeight);
    expectRect(pixels(prompt), 0, 0, kPromptWidth, kPromptHeight);
    expectRect(pixels(prompt.items[0]), kDismissRect[0], kDismissRect[1], kDismissRect[2], kDismissRect[3]);
    expectRect(pixels(prompt.items[1]), kCloseRect[0], kCloseRect[1], kCloseRect[2], kCloseRect[3]);
    expectRect(pixels(prompt.items[2]), kTextRect[0], kTextRect[1], kTextRect[2], kTextRect[3]);

    platform::Device device;
    LONG units = 0;
    runWithResources(device, {}, [&] { units = GetDialogBaseUnits(); });
    EXPECT_EQ(units, (kBaseY << 16) | kBaseX);
}

}  // namespace
}  // namespace velorin::test
