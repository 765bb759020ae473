// What a graphics object handle stands for.
#pragma once

#include "gdi/surface.hpp"
#include "kernel/scheduler.hpp"
#include "kernel/windef.h"

#include <optional>
#include <variant>

namespace velorin::gdi {

struct BitmapObject {
    Surface pixels;     // already in the colours of its format
    int bitsPerPixel = 24;
};
// A pattern brush's own copy of its bitmap, which may be deleted after.
struct BrushPattern {
    BitmapObject bitmap;
    HGDIOBJ source = nullptr;  // for GetObjectW
};
struct BrushObject {
    std::optional<Rgb> colour;  // none: the hollow brush, which paints nothing
    std::optional<BrushPattern> pattern;
};
struct PenObject {
    std::optional<Rgb> colour;  // none: the null pen
    int width = 1;
    LONG givenWidth = 0;  // as GetObjectW tells it: 0 for the stock pens, 1 for a null pen
};
// The device has one UI font; a font object only stands for it.
struct FontObject {};

struct GdiObject {
    std::variant<BitmapObject, BrushObject, PenObject, FontObject> data;
    bool stock = false;  // never deleted, not counted
    kernel::ProcessId owner = kernel::kSystemProcess;

    template <class T> T* as() { return std::get_if<T>(&data); }
    template <class T> const T* as() const { return std::get_if<T>(&data); }
};

}  // namespace velorin::gdi
