// The run-time class record of a framework class: its name and its base's record.
#ifndef VELORIN_FRAMEWORK_RUNTIME_CLASS_H
#define VELORIN_FRAMEWORK_RUNTIME_CLASS_H

#include <stddef.h>

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    bool IsDerivedFrom(const CRuntimeClass* base) const
    {
        for (const CRuntimeClass* c = this; c != NULL; c = c->m_pBaseClass) {
            if (c == base)
                return true;
        }
        return false;
    }
};

#endif
