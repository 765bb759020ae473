// Open registry keys: small deterministic HKEY values that a closed or forged one cannot pass
// for a live one.
#pragma once

#include "kernel/scheduler.hpp"
#include "registry/registry_key.hpp"

#include <memory>
#include <vector>

namespace velorin::registry {

// Not the kernel's HandleTable: HKEYs have their own tagged values and stricter checks, which traces show.
class KeyHandles {
public:
    HKEY add(std::shared_ptr<Key> key, kernel::ProcessId owner);
    // The key behind a live handle, or null.
    std::shared_ptr<Key> find(HKEY handle) const;
    bool close(HKEY handle);
    void closeOwnedBy(kernel::ProcessId owner);
    std::size_t openCount() const;

private:
    struct Slot {
        std::shared_ptr<Key> key;
        kernel::ProcessId owner = kernel::kSystemProcess;
        std::uint32_t generation = 0;
    };
    Slot* slotOf(HKEY handle);
    const Slot* slotOf(HKEY handle) const;

    std::vector<Slot> m_slots;
    std::vector<std::size_t> m_free;  // oldest first, so a closed handle stays invalid long
};

}  // namespace velorin::registry
