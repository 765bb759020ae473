// The instances of the program that the player starts, and how each ended.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velorin::wine {

class Programs {
public:
    explicit Programs(std::wstring path) : m_path(std::move(path)) {}
    ~Programs();
    Programs(const Programs&) = delete;
    Programs& operator=(const Programs&) = delete;

    // Starts an instance and waits until it has started (the CE layer has seen it) or ended;
    // false, with the reason, when it cannot be started.
    bool launch(std::string& why);
    bool anyRunning();
    std::vector<DWORD> processIds() const;
    // Ends what still runs, so that nothing is left behind; each end is traced.
    void endAll();

private:
    struct Instance {
        HANDLE process = nullptr;
        DWORD pid = 0;
        bool exitTraced = false;
    };
    void traceExits();

    std::wstring m_path;
    std::vector<Instance> m_instances;
};

}  // namespace velorin::wine
