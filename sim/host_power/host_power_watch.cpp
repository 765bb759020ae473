// The host thread that follows a power-supply folder and leaves each new reading for the device.
#include "sim/host_power/host_power_watch.hpp"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <system_error>
#include <utility>

namespace velorin::sim {

namespace {

constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_ONLYDIR;
// Not IN_MODIFY: a file read between its truncation and its new value would look malformed.
constexpr std::uint32_t kSupplyEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_ONLYDIR;

void drain(int fd)
{
    std::array<char, 4096> buffer{};
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
}

}  // namespace

struct HostPowerWatch::Udev {
    std::unique_ptr<udev, decltype(&udev_unref)> context{udev_new(), &udev_unref};
    std::unique_ptr<udev_monitor, decltype(&udev_monitor_unref)> monitor{nullptr, &udev_monitor_unref};

    Udev()
    {
        if (!context)
            return;
        monitor.reset(udev_monitor_new_from_netlink(context.get(), "udev"));
        if (monitor && (udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "power_supply", nullptr) < 0 ||
                        udev_monitor_enable_receiving(monitor.get()) < 0))
            monitor.reset();
    }
    int fd() const { return monitor ? udev_monitor_get_fd(monitor.get()) : -1; }
    // The event says only that something changed; the folder says what.
    void drain()
    {
        while (udev_device* device = udev_monitor_receive_device(monitor.get()))
            udev_device_unref(device);
    }
};

HostPowerWatch::HostPowerWatch(HostPowerWatchOptions options)
    : m_options(std::move(options)), m_stop(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (!m_stop)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    if (m_options.udev) {
        m_udev = std::make_unique<Udev>();
        if (m_udev->fd() < 0)
            m_udev.reset();
    }
    if (m_options.inotify) {
        m_inotify = FileDescriptor(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
        watchSupplies();
    }
    // Watches first, then the reading: a change in between is heard, not lost.
    m_first = readPowerSupplyTree(m_options.root);
    m_thread = std::thread([this] { run(); });
}

HostPowerWatch::~HostPowerWatch()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_stop.get(), &one, sizeof one);
    m_thread.join();
}

std::optional<PowerSupplyReading> HostPowerWatch::take()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_mailbox, std::nullopt);
}

// The folder and each supply in it; a supply that appears later is added at the next event.
void HostPowerWatch::watchSupplies()
{
    if (!m_inotify)
        return;
    inotify_add_watch(m_inotify.get(), m_options.root.c_str(), kFolderEvents);
    std::error_code error;
    for (std::filesystem::directory_iterator it(m_options.root, error), end; !error && it != end;
         it.increment(error))
        inotify_add_watch(m_inotify.get(), it->path().c_str(), kSupplyEvents);
}

void HostPowerWatch::run()
{
    PowerSupplyReading last = m_first;
    const int timeout = static_cast<int>(m_options.reread.count());
    for (;;) {
        std::array<pollfd, 3> fds{{{m_stop.get(), POLLIN, 0},
                                   {m_inotify ? m_inotify.get() : -1, POLLIN, 0},
                                   {m_udev ? m_udev->fd() : -1, POLLIN, 0}}};
        const int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0)
            return;
        if (fds[1].revents != 0) {
            drain(m_inotify.get());
            watchSupplies();
        }
        // A monitor that fails leaves the periodic read to do its work, not a busy loop.
        if ((fds[2].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
            m_udev.reset();
        else if (fds[2].revents != 0)
            m_udev->drain();
        const PowerSupplyReading reading = readPowerSupplyTree(m_options.root);
        if (reading == last)
            continue;
        last = reading;
        std::lock_guard lock(m_mutex);
        m_mailbox = reading;
    }
}

}  // namespace velorin::sim
