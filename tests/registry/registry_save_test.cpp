// Saving the hive: atomic replacement interrupted at each step, the encoding kept, errors
// named, and RegFlushKey writing the device's file.
#include "registry_test_support.hpp"

#include "sim/harness/harness.hpp"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velorin::test {
namespace {

namespace fs = std::filesystem;
using registry::RegFileEncoding;
using registry::Root;

// A fresh folder for one test.
fs::path folderFor(const std::string& name)
{
    const fs::path folder = fs::path(::testing::TempDir()) / ("velorin-registry-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

sim::HarnessOptions emptyRegistry()
{
    sim::HarnessOptions options;
    options.defaultRegistry = false;
    return options;
}

// A DWORD of the hive in `file`; 0 when it is missing.
DWORD dwordIn(const fs::path& file, Root root, std::wstring_view path, std::wstring_view name)
{
    const registry::RegFile loaded = registry::readRegFile(file);
    const auto key = registry::findKey(loaded.hive.root(root), *registry::splitKeyPath(path));
    const registry::Value* value = key ? key->value(name) : nullptr;
    return value ? registry::dwordOf(*value).value_or(0) : 0;
}

// The "Generation" that a saved hive holds.
DWORD generationIn(const fs::path& file)
{
    return dwordIn(file, Root::LocalMachine, L"Save", L"Generation");
}

TEST(RegistrySave, ASaveInterruptedAtAnyStepLeavesTheOldHiveOrTheNewOne)
{
    const fs::path folder = folderFor("interrupted");
    // Before the rename the old file stands; after it, the new one.
    const std::vector<std::pair<std::string, DWORD>> steps = {
        {"create", 1}, {"write", 1}, {"flush", 1}, {"rename", 1}, {"syncdir", 2}};
    for (const auto& [step, left] : steps) {
        SCOPED_TRACE(step);
        const fs::path file = folder / (step + ".reg");
        sim::Harness harness(emptyRegistry());
        harness.setRegistryValue(Root::LocalMachine, L"Save", registry::dwordValue(L"Generation", 1));
        harness.saveRegistryFile(file, RegFileEncoding::Utf16Le);
        harness.setRegistryValue(Root::LocalMachine, L"Save", registry::dwordValue(L"Generation", 2));

        harness.faults().failNth("RegSave:" + step, 2);
        try {
            harness.saveRegistryFile(file, RegFileEncoding::Utf16Le);
            ADD_FAILURE() << "the save went through";
        } catch (const registry::FileSaveError& e) {
            EXPECT_NE(std::string(e.what()).find("(" + step + ")"), std::string::npos) << e.what();
        }
        EXPECT_EQ(generationIn(file), left);
        EXPECT_FALSE(fs::exists(file.string() + ".tmp")) << "the temporary file is removed";
        EXPECT_EQ(harness.trace().linesOf("fault").back(), "0 fault RegSave:" + step);

        harness.saveRegistryFile(file, RegFileEncoding::Utf16Le);
        EXPECT_EQ(generationIn(file), 2u) << "the next save goes through";
    }
}

TEST(RegistrySave, ALeftoverTemporaryFileIsReplacedAndAFailedCreateNamesTheFile)
{
    const fs::path folder = folderFor("leftover");
    const fs::path file = folder / "device.reg";
    std::ofstream(file.string() + ".tmp") << "torn by an earlier crash";
    sim::Harness harness(emptyRegistry());
    harness.setRegistryValue(Root::LocalMachine, L"Save", registry::dwordValue(L"Generation", 7));
    harness.saveRegistryFile(file, RegFileEncoding::Utf8);
    EXPECT_EQ(generationIn(file), 7u);
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));

    const fs::path missing = folder / "no-such-folder" / "device.reg";
    try {
        harness.saveRegistryFile(missing, RegFileEncoding::Utf8);
        ADD_FAILURE() << "saved into a folder that does not exist";
    } catch (const registry::FileSaveError& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with(missing.string() + ": cannot save (create ")) << e.what();
    }
}

TEST(RegistrySave, TheDevicesFileKeepsItsEncodingAndIsMadeFromTheBootedHiveWhenMissing)
{
    const fs::path folder = folderFor("device-file");
    const fs::path wide = folder / "wide.reg";
    {
        sim::Harness harness(emptyRegistry());
        harness.setRegistryValue(Root::CurrentUser, L"A", registry::dwordValue(L"x", 1));
        harness.saveRegistryFile(wide, RegFileEncoding::Utf16Le);
    }
    sim::Harness harness;
    harness.useRegistryFile(wide);
    EXPECT_FALSE(harness.registryKeyExists(Root::LocalMachine, L"Ident")) << "the file's hive replaced the default";
    harness.setRegistryValue(Root::CurrentUser, L"A", registry::dwordValue(L"x", 2));
    harness.saveRegistry();
    EXPECT_TRUE(contents(wide).starts_with("\xFF\xFE"));
    EXPECT_EQ(dwordIn(wide, Root::CurrentUser, L"A", L"x"), 2u);

    const fs::path fresh = folder / "fresh.reg";
    sim::Harness booted;
    booted.useRegistryFile(fresh);
    EXPECT_FALSE(fs::exists(fresh)) << "nothing is written before the save";
    booted.saveRegistry();
    EXPECT_EQ(contents(fresh), booted.registryText(RegFileEncoding::Utf8)) << "the default hive is UTF-8";
}

TEST(RegistrySave, RegFlushKeyWritesTheDevicesFileAndReportsAFailedSave)
{
    const fs::path folder = folderFor("flush");
    const fs::path file = folder / "device.reg";
    Device device;
    runProgram(device, [] {
        HKEY key = createKey(HKEY_CURRENT_USER, L"A");
        EXPECT_EQ(RegFlushKey(key), kSuccess) << "a device without a file has nothing to write";
        RegCloseKey(key);
    });
    {
        std::lock_guard lock(device.kernel().mutex());
        device.registry().setFileLocked(file);
        device.faults().failNth("RegSave:rename", 1);
    }
    LONG failed = 0;
    LONG flushed = 0;
    runProgram(device, [&] {
        setDword(HKEY_CURRENT_USER, L"Flushed", 1);
        failed = RegFlushKey(HKEY_CURRENT_USER);
        flushed = RegFlushKey(HKEY_CURRENT_USER);
    });
    EXPECT_EQ(failed, static_cast<LONG>(ERROR_GEN_FAILURE));
    EXPECT_EQ(flushed, kSuccess);
    EXPECT_EQ(dwordIn(file, Root::CurrentUser, L"", L"Flushed"), 1u);
}

}  // namespace
}  // namespace velorin::test
