// The host window that the live device is shown in, as velorin-sim asks it of SDL2. The SDL2
// side (sdl_display.cpp) is a module of its own that velorin-sim loads only for --window, so that
// every other run stays free of SDL2 and the fifty libraries it brings (about 4.6 MB resident).
// Nothing here depends on the device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velorin::sim {

enum class LiveAction { Escape, Enter, TogglePlug, PercentUp, PercentDown, Rotate, Quit };

struct LiveInput {
    enum class Kind { Click, Action, Exposed };
    Kind kind = Kind::Exposed;
    int x = 0;  // Click: window pixels
    int y = 0;
    LiveAction action = LiveAction::Quit;  // Action: a key, or the window closed (Quit)
};

class LiveDisplay {
public:
    virtual ~LiveDisplay() = default;
    // The input since the last call.
    virtual std::vector<LiveInput> poll() = 0;
    // Shows a picture of 0x00RRGGBB words, `width` x `height`, scaled to the window.
    virtual void show(const std::uint32_t* pixels, int width, int height) = 0;
};

// The module's one entry: opens a window of `width` x `height` pixels showing a picture of
// `pictureWidth` x `pictureHeight`; on failure returns null with the reason in `error`.
using OpenLiveDisplay = LiveDisplay* (*)(int width, int height, int pictureWidth, int pictureHeight,
                                        std::string* error);
inline constexpr const char* kOpenLiveDisplay = "velorin_open_live_display";
// The module's file, beside velorin-sim.
inline constexpr const char* kLiveDisplayModule = "velorin-sim-sdl.so";

}  // namespace velorin::sim
