// The platform's critical section as a framework object, and a scoped holder of it.
#ifndef VELORIN_FRAMEWORK_CRITICAL_SECTION_H
#define VELORIN_FRAMEWORK_CRITICAL_SECTION_H

#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { DeleteCriticalSection(&m_sect); }

    void Lock() { EnterCriticalSection(&m_sect); }
    void Unlock() { LeaveCriticalSection(&m_sect); }

private:
    CCriticalSection(const CCriticalSection&);
    CCriticalSection& operator=(const CCriticalSection&);

    CRITICAL_SECTION m_sect;
};

// Holds a critical section from construction (with bInitialLock) or Lock() to Unlock() or the end
// of its scope.
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* pObject, BOOL bInitialLock = FALSE)
        : m_pObject(pObject), m_bAcquired(FALSE)
    {
        if (bInitialLock)
            Lock();
    }
    ~CSingleLock() { Unlock(); }

    void Lock()
    {
        if (!m_bAcquired) {
            m_pObject->Lock();
            m_bAcquired = TRUE;
        }
    }
    void Unlock()
    {
        if (m_bAcquired) {
            m_bAcquired = FALSE;
            m_pObject->Unlock();
        }
    }

private:
    CSingleLock(const CSingleLock&);
    CSingleLock& operator=(const CSingleLock&);

    CCriticalSection* m_pObject;
    BOOL m_bAcquired;
};

#endif
