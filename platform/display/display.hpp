// The display: a physical panel and the logical orientation it is driven in.
#pragma once

namespace velorin::display {

// Orientation codes as the system names them: DMDO_0, DMDO_90, DMDO_180, DMDO_270.
inline constexpr int kOrientation0 = 0;
inline constexpr int kOrientation90 = 1;
inline constexpr int kOrientation180 = 2;
inline constexpr int kOrientation270 = 4;

class Display {
public:
    Display(int physicalWidth = 240, int physicalHeight = 320)
        : m_physicalWidth(physicalWidth), m_physicalHeight(physicalHeight)
    {
    }

    int physicalWidth() const { return m_physicalWidth; }
    int physicalHeight() const { return m_physicalHeight; }
    int orientation() const { return m_orientation; }
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
