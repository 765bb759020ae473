// Where pictures of the screen go as a run goes on: a directory of PNGs, an animated GIF.
#pragma once

#include "gdi/surface.hpp"
#include "sim/scenario/device_time.hpp"

#include <optional>
#include <string>

namespace velorin::sim {

class FrameSink {
public:
    virtual ~FrameSink() = default;

    // The screen as the user sees it at `at`, offered after a step of the device whenever it
    // may have changed; the same picture can come more than once. An empty screen (no window
    // system yet) is no picture.
    virtual void offer(DeviceTime at, const gdi::Surface& screen) = 0;
    // The run ended at `at`: whatever is still held is written.
    virtual void finish(DeviceTime at) { (void)at; }
    // The first failure, naming the file; after it nothing more is written.
    virtual const std::optional<std::string>& error() const = 0;
};

}  // namespace velorin::sim
