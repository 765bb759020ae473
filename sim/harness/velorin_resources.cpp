// The utility's resource module, built into the program from velorin.res.
#include "sim/harness/velorin_resources.hpp"

#include <cstddef>

// Built in by embed_file (cmake/EmbedFile.cmake) from the compiled velorin.res.
extern const std::uint8_t velorin_resource_module[];
extern const std::size_t velorin_resource_module_size;

namespace velorin::res {

std::span<const std::uint8_t> resourceModule()
{
    return {velorin_resource_module, velorin_resource_module_size};
}

}  // namespace velorin::res
