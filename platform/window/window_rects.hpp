// Rectangle arithmetic shared by the window manager's files; an empty intersection is clamped to
// zero size, where gdi's is left inside out.
#pragma once

#include "window/winuser.h"

#include <algorithm>

namespace velorin::window {

inline RECT intersect(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

inline RECT unite(const RECT& a, const RECT& b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

inline bool empty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace velorin::window
