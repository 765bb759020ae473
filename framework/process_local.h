// State that each process of a program has for itself. Several processes of one program share
// the simulator's address space, so what is one variable a process on the device is kept here
// per process id; each process sees its own value-initialised copy.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>

template <class T> class CProcessLocal {
public:
    T& Get()
    {
        const DWORD pid = GetCurrentProcessId();
        std::lock_guard lock(m_mutex);
        auto& slot = m_values[pid];
        if (!slot)
            slot = std::make_unique<T>();
        return *slot;
    }
    T* operator->() { return &Get(); }

private:
    std::mutex m_mutex;
    std::map<DWORD, std::unique_ptr<T>> m_values;
};
