// Reading a power-supply folder into what the device's battery driver reports.
#include "sim/host_power/power_supply_tree.hpp"

#include "supply_folder.hpp"

#include <gtest/gtest.h>

namespace velorin::sim {
namespace {

using testing::SupplyFolder;

PowerSupplyReading onBattery(int ac, int percent)
{
    return {.battery = true, .acLineStatus = ac, .percent = percent};
}

TEST(PowerSupplyTree, AnyChargerOnlineIsAC)
{
    SupplyFolder tree("chargers");
    tree.battery("BAT0", 64, "Discharging");
    tree.charger("AC", 0);
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(0, 64));
    tree.charger("AC", 1);
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(1, 64));
    // Only a USB-C port brings power; its "online" of 2 is a programmable source.
    tree.charger("AC", 0);
    tree.charger("ucsi-source-psy-USBC000:001", 2, "USB");
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(1, 64));
    // A charger's word counts over the battery's status.
    tree.charger("ucsi-source-psy-USBC000:001", 0, "USB");
    tree.battery("BAT0", 64, "Charging");
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(0, 64));
}

TEST(PowerSupplyTree, WithoutAChargerTheBatteryStatusDecides)
{
    SupplyFolder tree("status");
    const std::pair<const char*, int> cases[] = {
        {"Discharging", 0}, {"Charging", 1}, {"Full", 1}, {"Not charging", 1}, {"Unknown", kUnknownLineStatus}};
    for (const auto& [status, ac] : cases) {
        tree.battery("BAT0", 90, status);
        EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(ac, 90)) << status;
    }
}

TEST(PowerSupplyTree, NoBatteryToFollow)
{
    SupplyFolder tree("none");
    EXPECT_FALSE(readPowerSupplyTree(tree.root()).battery) << "an empty folder";
    EXPECT_FALSE(readPowerSupplyTree(tree.root() / "missing").battery) << "no folder at all";
    tree.charger("AC", 1);
    EXPECT_FALSE(readPowerSupplyTree(tree.root()).battery) << "a desktop: a charger only";
    // A wireless mouse's battery is not the machine's.
    tree.battery("hid-mouse-battery", 30, "Discharging");
    tree.write("hid-mouse-battery", "scope", "Device");
    EXPECT_FALSE(readPowerSupplyTree(tree.root()).battery);
    // A laptop with its battery taken out.
    tree.battery("BAT0", 0, "Unknown");
    tree.write("BAT0", "present", "0");
    EXPECT_FALSE(readPowerSupplyTree(tree.root()).battery);
    tree.write("BAT0", "present", "1");
    EXPECT_TRUE(readPowerSupplyTree(tree.root()).battery);
}

TEST(PowerSupplyTree, MalformedFilesGiveUnknownValuesNotAFailure)
{
    SupplyFolder tree("malformed");
    tree.battery("BAT0", 50, "Discharging");
    const std::pair<const char*, const char*> capacities[] = {
        {"abc", "not a number"}, {"150", "above 100"}, {"-3", "below 0"}, {"", "empty"}, {"42 %", "trailing text"}};
    for (const auto& [text, why] : capacities) {
        tree.write("BAT0", "capacity", text);
        EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(0, kUnknownPercent)) << why;
    }
    tree.remove("BAT0");
    tree.write("BAT0", "type", "Battery");
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(kUnknownLineStatus, kUnknownPercent)) << "no values at all";

    // A charger whose "online" makes no sense is not listed: the battery's status decides.
    tree.battery("BAT0", 50, "Charging");
    tree.write("AC", "type", "Mains");
    tree.write("AC", "online", "yes");
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(1, 50));
    // A supply without a type, a plain file, an attribute that is a folder: left out.
    std::filesystem::remove(tree.root() / "AC" / "type");
    std::ofstream(tree.root() / "stray-file") << "Battery\n";
    std::filesystem::create_directories(tree.root() / "ODD" / "type");
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(1, 50));
}

TEST(PowerSupplyTree, SeveralBatteriesShowTheShareOfTheWholeCharge)
{
    SupplyFolder tree("several");
    tree.charger("AC", 0);
    tree.battery("BAT0", 80, "Discharging");
    tree.battery("BAT1", 20, "Discharging");
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(0, 50)) << "without their sizes, the mean";
    // 80% of 20 Wh and 20% of 60 Wh: 28 Wh of 80.
    tree.write("BAT0", "energy_full", "20000000");
    tree.write("BAT1", "energy_full", "60000000");
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(0, 35));
    // One battery's capacity unknown makes the whole unknown.
    tree.write("BAT1", "capacity", "x");
    EXPECT_EQ(readPowerSupplyTree(tree.root()), onBattery(0, kUnknownPercent));
    // With no charger listed, one charging battery means a charger is there.
    tree.remove("AC");
    tree.battery("BAT1", 20, "Charging");
    EXPECT_EQ(readPowerSupplyTree(tree.root()).acLineStatus, 1);
}

}  // namespace
}  // namespace velorin::sim
