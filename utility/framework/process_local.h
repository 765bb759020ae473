// State that each process of a program has for itself. Several processes of one program may
// share one address space (the device's simulator runs them so), so what is one variable a
// process elsewhere is kept here per process id; each process sees its own value-initialised
// copy.
#ifndef VELORIN_FRAMEWORK_PROCESS_LOCAL_H
#define VELORIN_FRAMEWORK_PROCESS_LOCAL_H

#include "framework/critical_section.h"

#include <windows.h>

#include <map>

template <class T> class CProcessLocal {
public:
    CProcessLocal() {}
    ~CProcessLocal()
    {
        for (typename Values::iterator it = m_values.begin(); it != m_values.end(); ++it)
            delete it->second;
    }

    T& Get()
    {
        const DWORD pid = GetCurrentProcessId();
        CSingleLock lock(&m_lock, TRUE);
        T*& slot = m_values[pid];
        if (slot == NULL)
            slot = new T();
        return *slot;
    }
    T* operator->() { return &Get(); }

private:
    CProcessLocal(const CProcessLocal&);
    CProcessLocal& operator=(const CProcessLocal&);

    typedef std::map<DWORD, T*> Values;
    CCriticalSection m_lock;
    Values m_values;
};

#endif
