// `--window`: loads the SDL2 module and plays the window's input on the device.
#include "sim/live/live_window.hpp"

#include "sim/live/live_display.hpp"
#include "sim/live/live_view.hpp"

#include <dlfcn.h>

#include <filesystem>
#include <string>

namespace velorin::sim {

namespace {

// How far a step of the device goes while nothing else drives it: about a frame at 60 Hz.
constexpr DeviceTime kFrame = 16;

// The SDL2 module beside this program; loaded once and kept to the end of the process.
OpenLiveDisplay loadModule()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path module = (error ? std::filesystem::path() : self.parent_path()) / kLiveDisplayModule;
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw LiveWindowError(std::string("--window: cannot load the window's module: ") + dlerror());
    auto* open = reinterpret_cast<OpenLiveDisplay>(dlsym(handle, kOpenLiveDisplay));
    if (!open)
        throw LiveWindowError(module.string() + ": not velorin-sim's window module");
    return open;
}

}  // namespace

struct LiveWindow::Impl {
    explicit Impl(Harness& h) : harness(h), view(h.device().options().screenWidth, h.device().options().screenHeight) {}

    void handle(const LiveInput& input)
    {
        switch (input.kind) {
        case LiveInput::Kind::Action:
            apply(harness, input.action);
            break;
        case LiveInput::Kind::Exposed:
            shown = gdi::Surface();
            break;
        case LiveInput::Kind::Click: {
            const gdi::Surface screen = harness.screen();
            if (const auto point = view.screenPointAt(input.x, input.y, screen.width(), screen.height()))
                harness.tap(point->first, point->second);
            break;
        }
        }
    }

    void draw()
    {
        gdi::Surface picture = view.render(harness.screenAsSeen(), readStatus(harness));
        if (picture == shown)
            return;
        display->show(picture.pixels().data(), picture.width(), picture.height());
        shown = std::move(picture);
    }

    Harness& harness;
    LiveView view;
    std::unique_ptr<LiveDisplay> display;
    gdi::Surface shown;
};

bool LiveWindow::available()
{
    return true;
}

LiveWindow::LiveWindow(Harness& harness) : m_impl(std::make_unique<Impl>(harness))
{
    const OpenLiveDisplay open = loadModule();
    Impl& w = *m_impl;
    std::string error;
    w.display.reset(open(w.view.width() * LiveView::kScale, w.view.height() * LiveView::kScale, w.view.width(),
                         w.view.height(), &error));
    if (!w.display)
        throw LiveWindowError("--window: " + error);
}

LiveWindow::~LiveWindow() = default;

void LiveWindow::afterStep()
{
    for (const LiveInput& input : m_impl->display->poll())
        m_impl->handle(input);
    m_impl->draw();
}

void LiveWindow::runUntilClosed(std::optional<DeviceTime> until)
{
    Harness& harness = m_impl->harness;
    while (!harness.stopRequested() && (!until || harness.now() < *until))
        harness.runUntil(until ? std::min(*until, harness.now() + kFrame) : harness.now() + kFrame);
}

}  // namespace velorin::sim
