// Handles of the device's kernel: small, deterministic values that a stale or forged handle
// cannot pass for a live one.
#pragma once

#include "kernel/kernel_object.hpp"

#include <memory>
#include <vector>

namespace velorin::kernel {

// Not shared with KeyHandles or GDI's HandleMap: each has its own values, which traces show; only this one counts.
class HandleTable {
public:
    HANDLE add(std::shared_ptr<KernelObject> object, ProcessId owner);
    // The object behind a live handle, or null for a null, stale or unknown handle.
    std::shared_ptr<KernelObject> find(HANDLE handle) const;
    // Closes a live handle; false when it is not one.
    bool close(HANDLE handle);
    // Closes every handle that a process owns.
    void closeOwnedBy(ProcessId owner);
    std::size_t openCount() const;

private:
    struct Slot {
        std::shared_ptr<KernelObject> object;
        ProcessId owner = kSystemProcess;
        std::uint32_t generation = 0;
    };
    const Slot* slotOf(HANDLE handle) const;
    void release(Slot& slot);

    std::vector<Slot> m_slots;
    std::vector<std::size_t> m_free;
};

}  // namespace velorin::kernel
