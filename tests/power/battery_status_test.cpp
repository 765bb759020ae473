// The battery status as programs read it: GetSystemPowerStatusEx2 found by name in
// "coredll.dll", the record it fills, and the power calls under the fault plan.
#include "power_test_support.hpp"

namespace velorin::test {
namespace {

using StatusFunction = DWORD (*)(PSYSTEM_POWER_STATUS_EX2, DWORD, BOOL);

TEST(BatteryStatus, FoundByNameInCoredllAndFilledFromTheDriver)
{
    Device device;
    report(device, AC_LINE_ONLINE, 64);
    std::vector<std::string> seen;
    launch(device, [&] {
        HMODULE core = LoadLibraryW(L"coredll.dll");
        ASSERT_NE(core, nullptr);
        const auto status = reinterpret_cast<StatusFunction>(
            reinterpret_cast<void (*)()>(GetProcAddressW(core, L"GetSystemPowerStatusEx2")));
        ASSERT_NE(status, nullptr);
        FreeLibrary(core);  // the system library stays linked: the pointer stays good
        SYSTEM_POWER_STATUS_EX2 record;
        std::memset(&record, 0xAB, sizeof record);
        EXPECT_EQ(status(&record, sizeof record, TRUE), sizeof record);
        const auto* bytes = reinterpret_cast<const BYTE*>(&record);
        seen.push_back("line " + std::to_string(bytes[0]) + " flag " + std::to_string(bytes[1]) + " percent " +
                       std::to_string(bytes[2]));
        EXPECT_EQ(record.BatteryLifeTime, BATTERY_LIFE_UNKNOWN);
        EXPECT_EQ(record.BackupBatteryLifePercent, BATTERY_PERCENTAGE_UNKNOWN);
        EXPECT_EQ(record.BatteryChemistry, BATTERY_CHEMISTRY_UNKNOWN);
        EXPECT_EQ(record.BatteryVoltage, 0u);

        // A shorter record gets only its own bytes.
        std::memset(&record, 0xAB, sizeof record);
        EXPECT_EQ(status(&record, 3, FALSE), 3u);
        seen.push_back("short " + std::to_string(record.BatteryLifePercent) + " " +
                       std::to_string(reinterpret_cast<const BYTE*>(&record)[3]));
        EXPECT_EQ(status(nullptr, sizeof record, TRUE), 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(status(&record, 0, TRUE), 0u);
    });
    device.runFor(10);
    EXPECT_EQ(seen, (Lines{"line 1 flag 8 percent 64", "short 64 171"}));
}

TEST(BatteryStatus, FlagsFollowTheChargeAndTheLine)
{
    Device device;
    const std::vector<std::pair<BYTE, BYTE>> readings = {
        {AC_LINE_OFFLINE, 100}, {AC_LINE_OFFLINE, 67},      {AC_LINE_OFFLINE, 66},
        {AC_LINE_OFFLINE, 33},  {AC_LINE_OFFLINE, 32},      {AC_LINE_OFFLINE, 5},
        {AC_LINE_OFFLINE, 4},   {AC_LINE_ONLINE, 100},      {AC_LINE_ONLINE, 99},
        {AC_LINE_ONLINE, 3},    {AC_LINE_BACKUP_POWER, 50}, {AC_LINE_UNKNOWN, BATTERY_PERCENTAGE_UNKNOWN}};
    std::vector<int> flags;
    for (const auto& [line, percent] : readings) {
        report(device, line, percent);
        std::lock_guard lock(device.kernel().mutex());
        const SYSTEM_POWER_STATUS_EX2 status = device.battery().statusLocked();
        EXPECT_EQ(status.ACLineStatus, line);
        EXPECT_EQ(status.BatteryLifePercent, percent);
        EXPECT_EQ(device.battery().powerInfoLocked().bBatteryFlag, status.BatteryFlag);
        flags.push_back(status.BatteryFlag);
    }
    EXPECT_EQ(flags,
              (std::vector<int>{BATTERY_FLAG_HIGH, BATTERY_FLAG_HIGH, 0, 0, BATTERY_FLAG_LOW, BATTERY_FLAG_LOW,
                                BATTERY_FLAG_CRITICAL, BATTERY_FLAG_HIGH, BATTERY_FLAG_HIGH | BATTERY_FLAG_CHARGING,
                                BATTERY_FLAG_CRITICAL | BATTERY_FLAG_CHARGING, 0, BATTERY_FLAG_UNKNOWN}));
}

TEST(BatteryStatus, TheFaultPlanFailsPowerCallsWithTheirDocumentedResults)
{
    Device device(platform::DeviceOptions{.trace = trace::TraceLevel::All});
    device.faults().failNth("RequestPowerNotifications", 1);
    device.faults().failNth("GetSystemPowerStatusEx2", 1);
    device.faults().failNth("DevicePowerNotify", 1);
    device.faults().failNth("SetSystemPowerState", 1);
    std::vector<std::string> results;
    launch(device, [&] {
        HANDLE queue = makeQueue();
        const auto result = [&](const std::string& what, auto value) {
            results.push_back(what + " " + std::to_string(value) + " error " + std::to_string(GetLastError()));
            SetLastError(0);
        };
        result("subscribe", RequestPowerNotifications(queue, PBT_POWERINFOCHANGE) != nullptr);
        result("queue", readMessage(queue).has_value());
        SYSTEM_POWER_STATUS_EX2 status{};
        result("status", GetSystemPowerStatusEx2(&status, sizeof status, TRUE));
        result("backlight", DevicePowerNotify(const_cast<wchar_t*>(L"BKL1:"), D4, POWER_NAME));
        result("system", SetSystemPowerState(nullptr, POWER_STATE_SUSPEND, POWER_FORCE));
        // The second calls go through.
        result("subscribe", RequestPowerNotifications(queue, PBT_POWERINFOCHANGE) != nullptr);
        result("status", GetSystemPowerStatusEx2(&status, sizeof status, TRUE));
        result("backlight", DevicePowerNotify(const_cast<wchar_t*>(L"BKL1:"), D4, POWER_NAME));
    });
    device.runFor(10);
    // No subscription, so the queue has no writer.
    EXPECT_EQ(results,
              (Lines{"subscribe 0 error 8", "queue 0 error 233", "status 0 error 31", "backlight 31 error 31",
                     "system 31 error 31", "subscribe 1 error 0", "status 56 error 0", "backlight 0 error 0"}));
    // Nothing happened to the device for the refused calls.
    EXPECT_EQ(powerEvents(device), (Lines{"0 device.power BKL1: D4", "0 backlight on=0 level=0"}));
    EXPECT_EQ(pmState(device), power::PowerState::On);
    // Call lines name the device by its text.
    const Lines calls = device.trace().linesOf("call");
    EXPECT_NE(std::find(calls.begin(), calls.end(), "0 call DevicePowerNotify(\"BKL1:\", 4, 1) = 0"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "0 call SetSystemPowerState(NULL, 2097152, 4096) = 31"),
              calls.end());
}

}  // namespace
}  // namespace velorin::test
