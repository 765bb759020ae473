// `--window`: the device live in an SDL2 window, in wall time. See live_view.hpp for what it
// shows and does. The window lives on the controller's thread (the host's main thread): the
// harness calls afterStep() after each of its steps, which takes the window's events, plays
// them on the device and draws.
#pragma once

#include "sim/harness/harness.hpp"

#include <memory>
#include <optional>
#include <stdexcept>

namespace velorin::sim {

class LiveWindowError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class LiveWindow {
public:
    // Whether this build has the window (SDL2 was found when it was built).
    static bool available();

    // Opens the window; throws LiveWindowError saying why it cannot.
    explicit LiveWindow(Harness& harness);
    ~LiveWindow();
    LiveWindow(const LiveWindow&) = delete;
    LiveWindow& operator=(const LiveWindow&) = delete;

    void afterStep();
    // Runs the device in small steps until the window is closed or `q` pressed, or until
    // `until` when given.
    void runUntilClosed(std::optional<DeviceTime> until);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace velorin::sim
