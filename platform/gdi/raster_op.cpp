// The source pixels each destination pixel of a stretch stands for, stepped where Windows steps.
#include "gdi/raster_op.hpp"

#include <cstddef>

namespace velorin::gdi {

std::vector<SourceSpan> stretchMap(LONG from, LONG to, bool mirrored)
{
    std::vector<SourceSpan> spans(static_cast<std::size_t>(to));
    if (to >= from) {
        // An error term that steps the source on where Windows does.
        long long error = 3LL * from - 2LL * to;
        LONG source = 0;
        for (SourceSpan& span : spans) {
            span = SourceSpan{source, source};
            if (error > 0) {
                ++source;
                error += 2LL * (from - to);
            } else {
                error += 2LL * from;
            }
        }
        return spans;
    }
    // All into one: Windows keeps the last but one, or the last in a mirrored copy.
    if (to == 1) {
        spans.front() = SourceSpan{0, mirrored ? from - 1 : from - 2};
        return spans;
    }
    // The kept pixels are those nearest whole steps counted back from the last, a half rounded
    // down; each also stands for the pixels since the one before.
    LONG previous = -1;
    for (LONG d = 0; d < to; ++d) {
        const long long back = (2LL * (to - 1 - d) * from + to - 1) / (2LL * to);
        const auto kept = static_cast<LONG>(from - 1 - back);
        spans[static_cast<std::size_t>(d)] = SourceSpan{previous + 1, kept};
        previous = kept;
    }
    return spans;
}

}  // namespace velorin::gdi
