// Modules: loading by name, exports by name, freeing.
#include "kernel_test_support.hpp"

namespace velorin::test {
namespace {

LONG_PTR answer()
{
    return 42;
}

TEST(Module, FindsRegisteredExportsAndRefusesWhatIsMissing)
{
    Device device;
    addExport(device, L"coredll.dll", L"Answer", answer);
    addExport(device, L"extras.dll", L"Answer", answer, false);
    runProgram(device, [&] {
        // The path and case of the name do not matter, nor does a missing extension.
        HMODULE core = LoadLibraryW(L"\\Windows\\CoreDLL");
        ASSERT_NE(core, nullptr);
        FARPROC proc = GetProcAddressW(core, L"answer");
        ASSERT_NE(proc, nullptr);
        EXPECT_EQ(proc(), 42);
        EXPECT_EQ(GetProcAddressW(core, L"Question"), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

        EXPECT_EQ(LoadLibraryW(L"nosuch.dll"), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

        // A system module stays linked whatever the program frees; another one goes.
        EXPECT_TRUE(FreeLibrary(core));
        EXPECT_NE(GetProcAddressW(core, L"Answer"), nullptr);
        HMODULE extras = LoadLibraryW(L"extras.dll");
        ASSERT_NE(extras, nullptr);
        EXPECT_NE(extras, core);
        EXPECT_NE(GetProcAddressW(extras, L"Answer"), nullptr);
        EXPECT_TRUE(FreeLibrary(extras));
        EXPECT_EQ(GetProcAddressW(extras, L"Answer"), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(FreeLibrary(extras));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    });
}

}  // namespace
}  // namespace velorin::test
