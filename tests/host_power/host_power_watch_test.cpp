// The watch's thread on a plain folder: inotify and the periodic read each deliver a change.
#include "sim/host_power/host_power_watch.hpp"

#include "supply_folder.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace velorin::sim {
namespace {

using namespace std::chrono_literals;
using testing::SupplyFolder;

// Only bounds a hang: a busy machine may take long, a working one returns at once.
constexpr auto kDeliveryDeadline = 30s;

// Takes readings until one is `wanted`.
bool delivered(HostPowerWatch& watch, const PowerSupplyReading& wanted)
{
    for (const auto end = std::chrono::steady_clock::now() + kDeliveryDeadline; std::chrono::steady_clock::now() < end;) {
        if (watch.take() == wanted)
            return true;
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

HostPowerWatchOptions onlyInotify(const SupplyFolder& tree)
{
    // A period far beyond the deadline: what arrives came through inotify.
    return {.root = tree.root(), .udev = false, .inotify = true, .reread = std::chrono::hours(1)};
}

TEST(HostPowerWatch, InotifyDeliversEachChangeToTheFolder)
{
    SupplyFolder tree("inotify");
    tree.charger("AC", 0);
    tree.battery("BAT0", 40, "Discharging");
    HostPowerWatch watch(onlyInotify(tree));
    EXPECT_EQ(watch.first(), (PowerSupplyReading{true, 0, 40}));
    EXPECT_EQ(watch.take(), std::nullopt) << "the first reading is not a change";

    tree.write("AC", "online", "1");
    EXPECT_TRUE(delivered(watch, {true, 1, 40})) << "online 0 to 1";
    tree.write("BAT0", "capacity", "41");
    EXPECT_TRUE(delivered(watch, {true, 1, 41})) << "capacity";
    // A supply that appears after the start is watched too.
    tree.battery("BAT1", 61, "Charging");
    EXPECT_TRUE(delivered(watch, {true, 1, 51})) << "a second battery";
    tree.write("BAT1", "capacity", "81");
    EXPECT_TRUE(delivered(watch, {true, 1, 61})) << "a change in the new battery";
    tree.remove("BAT0");
    tree.remove("BAT1");
    EXPECT_TRUE(delivered(watch, {false, kUnknownLineStatus, kUnknownPercent})) << "both gone";
}

TEST(HostPowerWatch, ThePeriodicReadFindsWhatNoEventTold)
{
    SupplyFolder tree("reread");
    tree.battery("BAT0", 70, "Discharging");
    HostPowerWatch watch({.root = tree.root(), .udev = false, .inotify = false, .reread = 50ms});
    tree.write("BAT0", "status", "Charging");
    EXPECT_TRUE(delivered(watch, {true, 1, 70}));
}

TEST(HostPowerWatch, StopsWhileWaitingForAnEvent)
{
    SupplyFolder tree("stop");
    // Destroyed at once: the eventfd must wake the thread from its hour-long poll.
    { HostPowerWatch watch(onlyInotify(tree)); }
    // The system's folder with udev: whatever the machine has, it starts and stops.
    { HostPowerWatch watch({}); }
    SUCCEED();
}

}  // namespace
}  // namespace velorin::sim
