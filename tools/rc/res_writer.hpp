// A Win32 .res file: the empty 32-byte entry, then one RESOURCEHEADER and its data per
// resource, each DWORD aligned. Types and names are ordinals.
#pragma once

#include "byte_sink.hpp"

#include <cstdint>
#include <span>
#include <vector>

namespace velorin::rc {

inline constexpr std::uint16_t kRtBitmap = 2;
inline constexpr std::uint16_t kRtIcon = 3;
inline constexpr std::uint16_t kRtDialog = 5;
inline constexpr std::uint16_t kRtGroupIcon = 14;

struct ResourceHeader {
    std::uint16_t type = 0;
    std::uint16_t name = 0;
    std::uint16_t memoryFlags = 0;
    std::uint16_t language = 0;
    std::uint32_t dataVersion = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
};

class ResWriter {
public:
    ResWriter();  // writes the empty entry

    void add(const ResourceHeader& header, std::span<const std::uint8_t> data);
    std::vector<std::uint8_t> take() { return m_out.take(); }

private:
    ByteSink m_out;
};

}  // namespace velorin::rc
