// The live window of a build without SDL2: --window says so.
#include "sim/live/live_window.hpp"

namespace velorin::sim {

struct LiveWindow::Impl {};

bool LiveWindow::available()
{
    return false;
}

LiveWindow::LiveWindow(Harness&)
{
    throw LiveWindowError("--window: this velorin-sim was built without SDL2 (install libsdl2-dev and build again)");
}

LiveWindow::~LiveWindow() = default;

void LiveWindow::afterStep() {}

void LiveWindow::runUntilClosed(std::optional<DeviceTime>) {}

}  // namespace velorin::sim
