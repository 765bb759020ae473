// The system calls on resources as a program makes them: module handles, LoadBitmapW and
// LoadIconW with their failures, raw resources, fault injection and call lines.
#include "sim/harness/velorin_resources.hpp"
#include "resource_test_support.hpp"
#include "resources/resource_call.hpp"

#include <gmock/gmock.h>

#include <cstdio>
#include <mutex>

namespace velorin::test {
namespace {

using ::testing::ElementsAre;

// A module with one dialog template (id 1) and one bitmap (id 2) whose pixels are RLE
// compressed, which the device does not decode.
Bytes dialogAndBadBitmap()
{
    ResFile out;
    out.add(ResEntry{.type = 5, .name = 1, .memoryFlags = 0x1030, .language = 0x409},
            Bytes{0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 10, 0, 0, 0, 0, 0, 0, 0});
    Bytes rle;
    for (std::uint32_t v : {40u, 1u, 1u, 0x00080001u, 1u, 0u, 0u, 0u, 0u, 0u})
        put32(rle, v);
    rle.resize(rle.size() + 1024 + 4);
    out.add(ResEntry{.type = 2, .name = 2, .memoryFlags = 0x30, .language = 0x409}, rle);
    return out.bytes();
}

TEST(ResourceApi, EachProgramImageIsItsOwnInstanceSharedByItsInstances)
{
    platform::Device device;
    const Bytes other = dialogAndBadBitmap();
    HMODULE first = nullptr, second = nullptr, otherProgram = nullptr, none = nullptr, byName = nullptr;
    HMODULE missing = reinterpret_cast<HMODULE>(1);
    DWORD missingError = 0;
    runWithResources(
        device, res::resourceModule(),
        [&] {
            first = GetModuleHandleW(nullptr);
            byName = GetModuleHandleW(L"VELORIN.EXE");
            missing = GetModuleHandleW(L"nosuch.dll");
            missingError = GetLastError();
        },
        "velorin");
    runWithResources(
        device, res::resourceModule(), [&] { second = GetModuleHandleW(nullptr); }, "velorin");
    runWithResources(
        device, other, [&] { otherProgram = GetModuleHandleW(nullptr); }, "other");
    runWithResources(
        device, {}, [&] { none = GetModuleHandleW(nullptr); }, "bare");
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(byName, first);
    EXPECT_EQ(second, first);
    EXPECT_NE(otherProgram, first);
    EXPECT_NE(none, nullptr);  // a program without resources still has its instance
    EXPECT_NE(none, otherProgram);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(missingError, ERROR_MOD_NOT_FOUND);
}

TEST(ResourceApi, MissingResourcesReturnNullWithTheSystemsErrors)
{
    platform::Device device;
    const Bytes dialogOnly = dialogAndBadBitmap();
    std::vector<DWORD> errors;
    const auto note = [&](const void* result) {
        EXPECT_EQ(result, nullptr);
        errors.push_back(GetLastError());
    };
    HMODULE velorin = nullptr;
    runWithResources(device, res::resourceModule(), [&] {
        velorin = GetModuleHandleW(nullptr);
        note(LoadBitmapW(velorin, MAKEINTRESOURCEW(999)));  // no such bitmap
        note(LoadIconW(velorin, MAKEINTRESOURCEW(130)));    // 130 is a bitmap; the icon group is 128
        note(LoadBitmapW(nullptr, MAKEINTRESOURCEW(130)));  // no predefined system bitmaps
        note(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));  // nor icons (IDI_APPLICATION)
        note(FindResourceW(velorin, MAKEINTRESOURCEW(135), RT_MENU));
        note(LoadBitmapW(reinterpret_cast<HINSTANCE>(0x1234), MAKEINTRESOURCEW(130)));
        EXPECT_TRUE(resources::findDialogTemplate(velorin, MAKEINTRESOURCEW(135)).has_value());
        EXPECT_FALSE(resources::findDialogTemplate(velorin, MAKEINTRESOURCEW(136)).has_value());
        errors.push_back(GetLastError());
    });
    runWithResources(
        device, dialogOnly,
        [&] {
            note(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2)));  // its pixels do not decode
            note(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));    // it has no icons at all
            // Another program's image is not loaded here.
            note(LoadBitmapW(velorin, MAKEINTRESOURCEW(130)));
        },
        "other");
    runWithResources(
        device, {}, [&] { note(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(130))); }, "bare");
    runWithResources(
        device, Bytes{1, 2, 3},
        [&] {
            note(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(130)));  // not a .res file
        },
        "broken");
    EXPECT_THAT(errors,
                ElementsAre(ERROR_RESOURCE_NAME_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND,
                            ERROR_RESOURCE_NAME_NOT_FOUND, ERROR_RESOURCE_TYPE_NOT_FOUND, ERROR_INVALID_HANDLE,
                            ERROR_RESOURCE_NAME_NOT_FOUND, ERROR_INVALID_DATA, ERROR_RESOURCE_TYPE_NOT_FOUND,
                            ERROR_INVALID_HANDLE, ERROR_RESOURCE_DATA_NOT_FOUND, ERROR_BAD_EXE_FORMAT));
    EXPECT_EQ(device.gdi().liveObjects(), 0u);
}

TEST(ResourceApi, RawResourcesAreTheModulesBytes)
{
    platform::Device device;
    const auto module = resources::ResourceModule::parse(res::resourceModule());
    const auto* entry =
        module.find(resources::ResourceKey::of(resources::kRtDialog), resources::ResourceKey::of(WORD{135}));
    ASSERT_NE(entry, nullptr);
    const auto expected = module.data(*entry);

    HMODULE instance = nullptr;
    HRSRC found = nullptr;
    runWithResources(device, res::resourceModule(), [&] {
        instance = GetModuleHandleW(nullptr);
        found = FindResourceW(instance, MAKEINTRESOURCEW(135), RT_DIALOG);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(FindResourceW(nullptr, L"#135", RT_DIALOG), found);
        EXPECT_EQ(SizeofResource(instance, found), expected.size());
        const HGLOBAL loaded = LoadResource(instance, found);
        const auto* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
        ASSERT_NE(bytes, nullptr);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes));
        EXPECT_EQ(LoadResource(instance, reinterpret_cast<HRSRC>(0x42)), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    });
    // Once the program has ended its resources are gone with it.
    DWORD size = 1, error = 0;
    runWithResources(
        device, {},
        [&] {
            size = SizeofResource(instance, found);
            error = GetLastError();
        },
        "later");
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(error, ERROR_INVALID_HANDLE);
}

// The initialisation of the charging screen loads 131, 130, 132, 133, 134 and stops at the first
// failure; the fault plan fails the fourth load as a bitmap missing from the module would.
TEST(ResourceApi, FaultInjectionFailsOneLoadAndLeavesTheOthersIntact)
{
    platform::Device device;
    device.faults().failNth("LoadBitmapW", 4);
    std::vector<HBITMAP> loaded;
    DWORD error = 0;
    std::size_t liveWhileLoaded = 0;
    runWithResources(device, res::resourceModule(), [&] {
        for (WORD id : {131, 130, 132, 133, 134}) {
            const HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
            if (!bitmap) {
                error = GetLastError();
                break;
            }
            loaded.push_back(bitmap);
        }
        liveWhileLoaded = device.gdi().liveObjects();
        for (HBITMAP bitmap : loaded)
            DeleteObject(bitmap);
    });
    EXPECT_EQ(loaded.size(), 3u);
    EXPECT_EQ(error, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(liveWhileLoaded, 3u);
    EXPECT_EQ(device.gdi().liveObjects(), 0u);
    EXPECT_TRUE(hasLine(device, "0 fault LoadBitmapW"));

    device.faults().clear();
    device.faults().failAlways("LoadIconW", ERROR_RESOURCE_NAME_NOT_FOUND);
    HICON icon = reinterpret_cast<HICON>(1);
    runWithResources(device, res::resourceModule(), [&] {
        icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
        error = GetLastError();
    });
    EXPECT_EQ(icon, nullptr);
    EXPECT_EQ(error, ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST(ResourceApi, TraceAllShowsResourceNamesAndHandles)
{
    Device device({.trace = trace::TraceLevel::All});
    HMODULE instance = nullptr;
    HBITMAP bitmap = nullptr;
    HICON icon = nullptr;
    HRSRC found = nullptr;
    runWithResources(device, res::resourceModule(), [&] {
        instance = GetModuleHandleW(nullptr);
        bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(132));
        icon = LoadIconW(instance, MAKEINTRESOURCEW(128));
        found = FindResourceW(instance, L"#102", RT_DIALOG);
        FindResourceW(instance, L"Logo", RT_RCDATA);
        DeleteObject(bitmap);
    });
    const std::string h = handleText(instance);
    EXPECT_TRUE(hasLine(device, "0 call GetModuleHandleW(NULL) = " + h));
    EXPECT_TRUE(hasLine(device, "0 call LoadBitmapW(" + h + ", 132) = " + handleText(bitmap)));
    EXPECT_TRUE(hasLine(device, "0 call LoadIconW(" + h + ", 128) = " + handleText(icon)));
    EXPECT_TRUE(hasLine(device, "0 call FindResourceW(" + h + ", 102, 5) = " + handleText(found)));
    EXPECT_TRUE(hasLine(device, "0 call FindResourceW(" + h + ", \"LOGO\", 10) = NULL"));
}

}  // namespace
}  // namespace velorin::test
