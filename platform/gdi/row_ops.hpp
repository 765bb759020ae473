// The inner loops of fills and colour-keyed copies, one row at a time.
#pragma once

#include "gdi/surface.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace velorin::gdi {

// Pixels worked at once: a fixed count in local arrays that cannot alias, so that the compiler
// turns each block into vector operations without a run-time overlap check. Four pixels fill
// one 128-bit register, the width every x86-64 and ARMv8 target has; eight made GCC spill the
// blocks to the stack and took a third longer on the charging frame's symbol and digits.
inline constexpr std::ptrdiff_t kRowBlock = 4;

// Pixels in a row from which a black fill calls memset: the gauge's rows of 11 took longer
// through the call than in blocks.
inline constexpr std::ptrdiff_t kMemsetFrom = 32;

// Sets `count` pixels from `row` on to `colour`.
inline void fillRow(Rgb* row, std::ptrdiff_t count, Rgb colour)
{
    // Black, the usual erase, is a memset, the C library's widest stores, on rows long enough
    // to pay for the call.
    if (colour == 0 && count >= kMemsetFrom) {
        std::memset(row, 0, static_cast<std::size_t>(count) * sizeof(Rgb));
        return;
    }
    if (count < kRowBlock) {
        for (std::ptrdiff_t i = 0; i < count; ++i)
            row[i] = colour;
        return;
    }
    std::array<Rgb, kRowBlock> pattern;
    pattern.fill(colour);
    std::ptrdiff_t i = 0;
    for (; i + kRowBlock <= count; i += kRowBlock)
        std::copy_n(pattern.begin(), kRowBlock, row + i);
    // The last block ends at the row's end, over pixels already set: cheaper than a tail of
    // single pixels.
    if (i < count)
        std::copy_n(pattern.begin(), kRowBlock, row + count - kRowBlock);
}

using RowBlock = std::array<Rgb, kRowBlock>;

// One block of a keyed copy: pixels of `from` other than `key` over those of `to`.
inline RowBlock keyedBlock(const Rgb* from, const Rgb* to, Rgb key)
{
    RowBlock in;
    RowBlock out;
    std::copy_n(from, kRowBlock, in.begin());
    std::copy_n(to, kRowBlock, out.begin());
    for (std::size_t k = 0; k < in.size(); ++k)
        out[k] = in[k] == key ? out[k] : in[k];
    return out;
}

// `count` pixels of `from` other than `key` copied over `to`; `from` must not overlap `to`.
inline void copyRowKeyed(const Rgb* from, Rgb* to, std::ptrdiff_t count, Rgb key)
{
    if (count < kRowBlock) {
        for (std::ptrdiff_t i = 0; i < count; ++i)
            to[i] = from[i] == key ? to[i] : from[i];
        return;
    }
    // The last block ends at the row's end and overlaps the one before it. It is worked out
    // from the destination as it was, before any store: reading back pixels just stored at
    // another offset stalls the store buffer. Its overlap then stores what is already there.
    const std::ptrdiff_t last = count - kRowBlock;
    const RowBlock tail = keyedBlock(from + last, to + last, key);
    for (std::ptrdiff_t i = 0; i < last; i += kRowBlock) {
        const RowBlock out = keyedBlock(from + i, to + i, key);
        std::copy_n(out.begin(), kRowBlock, to + i);
    }
    std::copy_n(tail.begin(), kRowBlock, to + last);
}

}  // namespace velorin::gdi
