// A device context: where drawing goes, and what it draws with.
#pragma once

#include "gdi/surface.hpp"
#include "gdi/wingdi.h"
#include "kernel/scheduler.hpp"
#include "kernel/windef.h"

#include <optional>

namespace velorin::gdi {

struct DeviceContext {
    enum class Kind {
        Window,  // GetDC: the client area of a window, or the screen for a null window
        Paint,   // BeginPaint: the invalid part of the client area
        Memory,  // CreateCompatibleDC: the bitmap selected into it
    };
    Kind kind = Kind::Memory;
    HWND window = nullptr;
    std::optional<RECT> paintClip;  // client coordinates
    kernel::ProcessId owner = kernel::kSystemProcess;

    HGDIOBJ bitmap = nullptr;  // memory contexts only
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ font = nullptr;

    Rgb textColour = 0x000000;
    Rgb backColour = 0xFFFFFF;
    int backMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
};

}  // namespace velorin::gdi
