#include "res_writer.hpp"

namespace velorin::rc {

namespace {
// Two ordinals make the header 32 bytes, already a multiple of 4.
constexpr std::uint32_t kHeaderSize = 32;
}  // namespace

ResWriter::ResWriter()
{
    add(ResourceHeader{}, {});
}

void ResWriter::add(const ResourceHeader& h, std::span<const std::uint8_t> data)
{
    m_out.u32(static_cast<std::uint32_t>(data.size()));
    m_out.u32(kHeaderSize);
    m_out.u16(0xFFFF);
    m_out.u16(h.type);
    m_out.u16(0xFFFF);
    m_out.u16(h.name);
    m_out.u32(h.dataVersion);
    m_out.u16(h.memoryFlags);
    m_out.u16(h.language);
    m_out.u32(h.version);
    m_out.u32(h.characteristics);
    m_out.bytes(data);
    m_out.align(4);
}

}  // namespace velorin::rc
