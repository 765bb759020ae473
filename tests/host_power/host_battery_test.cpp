// The device's battery on a fake power-supply folder, through the class velorin-sim uses: the
// charging screen comes and goes with the charger, the digits follow the capacity, and a
// machine without a battery leaves the device alone until one appears.
#include "sim/host_power/host_battery.hpp"

#include "supply_folder.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>

namespace velorin::sim {
namespace {

using namespace std::chrono_literals;
using testing::SupplyFolder;

// Only bounds a hang: the charging sequence alone takes about 3 s of wall time.
constexpr auto kSequenceDeadline = 30s;

HostPowerWatchOptions watchOf(const SupplyFolder& tree)
{
    return {.root = tree.root(), .udev = false, .inotify = true, .reread = 5s};
}

// Runs the device until `done` holds.
bool runUntil(Harness& harness, const std::function<bool()>& done)
{
    for (const auto end = std::chrono::steady_clock::now() + kSequenceDeadline; std::chrono::steady_clock::now() < end;) {
        if (done())
            return true;
        harness.runFor(20);
        if (harness.device().options().clock == kernel::ClockMode::Virtual)
            std::this_thread::sleep_for(5ms);
    }
    return done();
}

power::BatteryReading battery(Harness& harness)
{
    std::lock_guard lock(harness.device().kernel().mutex());
    return harness.device().battery().readingLocked();
}

// The percentage of the last frame drawn: its digits are copied from the digit strip, source x
// 19 * digit, the percent sign (source x 190 and on) last.
std::optional<int> lastPercentDrawn(Harness& harness)
{
    std::vector<std::string> lines;
    {
        std::lock_guard lock(harness.device().kernel().mutex());
        lines = harness.trace().lines();
    }
    std::optional<int> shown;
    std::string digits;
    for (const std::string& line : lines) {
        const auto call = line.find(" call TransparentImage(");
        if (call == std::string::npos)
            continue;
        std::istringstream args(line.substr(line.find('(', call) + 1));
        std::string arg;
        for (int i = 0; i < 7 && std::getline(args, arg, ','); ++i) {
        }
        const long sourceX = std::strtol(arg.c_str(), nullptr, 0);
        if (sourceX < 190) {
            digits += static_cast<char>('0' + sourceX / 19);
        } else if (!digits.empty()) {
            shown = std::stoi(digits);
            digits.clear();
        }
    }
    return shown;
}

bool chargingScreenShown(Harness& harness)
{
    const auto window = harness.mainWindow();
    return window && harness.windowVisible(*window) && harness.orientationDegrees() == 90;
}

TEST(HostBattery, TheChargerAndCapacityOfTheFolderDriveTheChargingScreen)
{
    SupplyFolder tree("end-to-end");
    tree.charger("AC", 0);
    tree.battery("BAT0", 40, "Discharging");
    HarnessOptions options;
    options.device.clock = kernel::ClockMode::Wall;
    options.device.trace = trace::TraceLevel::All;
    options.sampleEvery = 10;
    Harness harness(options);
    std::ostringstream notes;
    HostBattery host(harness, watchOf(tree), notes);
    EXPECT_EQ(battery(harness).acLineStatus, 0) << "the first reading, before the launch";
    EXPECT_EQ(battery(harness).percent, 40);
    harness.launch();
    ASSERT_TRUE(runUntil(harness, [&] { return harness.mainWindow().has_value(); }));
    EXPECT_FALSE(chargingScreenShown(harness));

    tree.write("AC", "online", "1");
    ASSERT_TRUE(runUntil(harness, [&] { return chargingScreenShown(harness); })) << "plugged in";
    ASSERT_TRUE(runUntil(harness, [&] { return lastPercentDrawn(harness) == 40; }));

    tree.write("BAT0", "capacity", "57");
    EXPECT_TRUE(runUntil(harness, [&] { return lastPercentDrawn(harness) == 57; })) << "the new capacity";

    tree.write("AC", "online", "0");
    EXPECT_TRUE(runUntil(harness, [&] {
        const auto window = harness.mainWindow();
        return window && !harness.windowVisible(*window);
    })) << "unplugged";
    EXPECT_EQ(notes.str(), "");
    harness.powerOff();
}

TEST(HostBattery, WithoutABatteryTheDeviceIsLeftAloneUntilOneAppears)
{
    SupplyFolder tree("no-battery");
    tree.charger("AC", 1);
    Harness harness;
    harness.power(0, 33);
    std::ostringstream notes;
    HostBattery host(harness, watchOf(tree), notes);
    EXPECT_EQ(notes.str(), "velorin-sim: --power host: no battery in " + tree.root().string() +
                               "; the device stays on its scenario and keys\n");
    EXPECT_EQ(battery(harness).acLineStatus, 0);
    EXPECT_EQ(battery(harness).percent, 33);

    tree.battery("BAT0", 77, "Charging");
    EXPECT_TRUE(runUntil(harness, [&] { return battery(harness).acLineStatus == 1 && battery(harness).percent == 77; }));
    // Gone again, then back: the device hears of it again; the note is not repeated.
    tree.remove("BAT0");
    // Seen gone before it comes back: a watch that reads only after both would see no change.
    ASSERT_TRUE(runUntil(harness, [&] { return !host.applied().has_value(); }));
    harness.power(0, 20);
    tree.battery("BAT0", 77, "Charging");
    EXPECT_TRUE(runUntil(harness, [&] { return battery(harness).acLineStatus == 1 && battery(harness).percent == 77; }));
    const std::string said = notes.str();
    EXPECT_EQ(said.find("no battery", said.find("no battery") + 1), std::string::npos) << said;
    harness.powerOff();
}

}  // namespace
}  // namespace velorin::sim
