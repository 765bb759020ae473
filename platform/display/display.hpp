// The display: a physical panel and the logical orientation it is driven in.
#pragma once

#include <cstdint>
#include <optional>

namespace velorin::display {

// Orientation codes as the system names them: DMDO_0, DMDO_90, DMDO_180, DMDO_270.
inline constexpr int kOrientation0 = 0;
inline constexpr int kOrientation90 = 1;
inline constexpr int kOrientation180 = 2;
inline constexpr int kOrientation270 = 4;

// The angle of an orientation code, or nothing for a value that is not a code.
constexpr std::optional<int> degreesOf(std::uint32_t code)
{
    switch (code) {
    case kOrientation0:
        return 0;
    case kOrientation90:
        return 90;
    case kOrientation180:
        return 180;
    case kOrientation270:
        return 270;
    default:
        return std::nullopt;
    }
}

// The code of an angle, or nothing for an angle the display cannot take.
constexpr std::optional<int> orientationCodeOf(int degrees)
{
    switch (degrees) {
    case 0:
        return kOrientation0;
    case 90:
        return kOrientation90;
    case 180:
        return kOrientation180;
    case 270:
        return kOrientation270;
    default:
        return std::nullopt;
    }
}

class Display {
public:
    Display(int physicalWidth = 240, int physicalHeight = 320)
        : m_physicalWidth(physicalWidth), m_physicalHeight(physicalHeight)
    {
    }

    int physicalWidth() const { return m_physicalWidth; }
    int physicalHeight() const { return m_physicalHeight; }
    int orientation() const { return m_orientation; }
    int degrees() const { return degreesOf(static_cast<std::uint32_t>(m_orientation)).value_or(0); }
    // Only codes that degreesOf() knows.
    void setOrientation(int code) { m_orientation = code; }
    bool sideways() const { return m_orientation == kOrientation90 || m_orientation == kOrientation270; }
    // The logical size: what programs see through the system metrics.
    int width() const { return sideways() ? m_physicalHeight : m_physicalWidth; }
    int height() const { return sideways() ? m_physicalWidth : m_physicalHeight; }

private:
    int m_physicalWidth;
    int m_physicalHeight;
    int m_orientation = kOrientation0;
};

}  // namespace velorin::display
