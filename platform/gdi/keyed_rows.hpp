// Colour-keyed copies of whole rectangles, in the widest vectors the host has: the charging
// frame's symbol and digits are the rows a frame spends most on after the plain copies.
#pragma once

#include "gdi/surface.hpp"

#include <cstddef>

namespace velorin::gdi {

// Where the rows are: `rows` rows of `width` pixels, each row `stride` pixels after the last.
struct KeyedRows {
    const Rgb* from;
    std::ptrdiff_t fromStride;
    Rgb* to;
    std::ptrdiff_t toStride;
    std::ptrdiff_t width;
    std::ptrdiff_t rows;
};

// Pixels of `from` other than `key` copied over `to`, row by row; no row of `from` may overlap
// one of `to`. Picks the AVX2 rows where the host has them; every choice gives the same pixels.
void copyRowsKeyed(const KeyedRows& rows, Rgb key);

// The two choices, for tests: the 128-bit rows every x86-64 and ARMv8 host runs, and the 256-bit
// rows, which only a host with AVX2 may call.
void copyRowsKeyedPortable(const KeyedRows& rows, Rgb key);
void copyRowsKeyedAvx2(const KeyedRows& rows, Rgb key);
bool hostHasAvx2();

}  // namespace velorin::gdi
