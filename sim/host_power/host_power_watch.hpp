// A host thread that follows a power-supply folder (power_supply_tree.hpp) and leaves each new
// reading in a mailbox for the controller's thread.
#pragma once

#include "sim/host_power/file_descriptor.hpp"
#include "sim/host_power/power_supply_tree.hpp"

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace velorin::sim {

struct HostPowerWatchOptions {
    std::filesystem::path root = "/sys/class/power_supply";
    // Sysfs tells of changes only through udev; a plain folder only through inotify.
    bool udev = true;
    bool inotify = false;
    // Read again this often whatever was heard: a battery's capacity changes without an event
    // on many machines.
    std::chrono::milliseconds reread{5000};
};

class HostPowerWatch {
public:
    // Reads the folder once (first()) before the thread starts. Without udev or inotify (a
    // container without netlink, no inotify left) the periodic read still follows the folder.
    explicit HostPowerWatch(HostPowerWatchOptions options);
    // Wakes the thread through its eventfd and joins it.
    ~HostPowerWatch();
    HostPowerWatch(const HostPowerWatch&) = delete;
    HostPowerWatch& operator=(const HostPowerWatch&) = delete;

    const std::filesystem::path& root() const { return m_options.root; }
    PowerSupplyReading first() const { return m_first; }
    // The newest reading that differs from the one before it, once; nothing when none came.
    std::optional<PowerSupplyReading> take();

private:
    struct Udev;
    void run();
    void watchSupplies();

    HostPowerWatchOptions m_options;
    PowerSupplyReading m_first;
    FileDescriptor m_stop;
    FileDescriptor m_inotify;
    std::unique_ptr<Udev> m_udev;
    std::mutex m_mutex;
    std::optional<PowerSupplyReading> m_mailbox;
    std::thread m_thread;
};

}  // namespace velorin::sim
