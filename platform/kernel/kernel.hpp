// The device's kernel: processes, threads, handles, named objects, waits and modules.
#pragma once

#include "kernel/call_name.hpp"
#include "kernel/handle_table.hpp"
#include "kernel/image_table.hpp"
#include "kernel/local_heap.hpp"
#include "kernel/kernel_object.hpp"
#include "kernel/module_table.hpp"
#include "kernel/scheduler.hpp"
#include "trace/fault_plan.hpp"
#include "trace/trace_recorder.hpp"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velorin::platform {
class Device;
}

namespace velorin::kernel {

struct ProcessInfo {
    ProcessId pid = 0;
    std::string name;
    bool running = true;
    int exitCode = 0;
};

// A process just started, with its handles in the starting process (null when it asked for none).
struct StartedProcess {
    ProcessId pid = 0;
    ThreadId mainThread = 0;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
};

// What the call gate decided for one platform call.
struct CallGate {
    bool proceed = true;         // run the call
    bool traced = false;         // write a call line afterwards
    std::optional<DWORD> error;  // set when the call is refused: the last error to leave
};

class Kernel {
public:
    Kernel(Scheduler& scheduler, trace::TraceRecorder& trace, trace::FaultPlan& faults);
    ~Kernel();
    Kernel(const Kernel&) = delete;
    Kernel& operator=(const Kernel&) = delete;

    // The kernel of the calling device thread; aborts when there is none, since only device
    // threads may call the platform.
    static Kernel& current();
    // Makes the calling host thread the device's controller.
    void attachController();
    // Points the controller's platform calls at this device (one host thread, several devices).
    void enterAsController();

    // The device this kernel runs, for the entry points of every area (*_api.cpp and the
    // *_call.hpp wrappers they call through), which alone see the assembled device; the areas
    // themselves get what they use through their constructors.
    platform::Device& device() { return *m_device; }
    void setDevice(platform::Device& device) { m_device = &device; }

    Scheduler& scheduler() { return m_scheduler; }
    trace::TraceRecorder& trace() { return m_trace; }
    trace::FaultPlan& faults() { return m_faults; }
    DeviceMutex& mutex() { return m_scheduler.mutex(); }
    HandleTable& handlesLocked()
    {
        m_scheduler.mutex().assertHeld();
        return m_handles;
    }
    ModuleTable& modulesLocked()
    {
        m_scheduler.mutex().assertHeld();
        return m_modules;
    }
    LocalHeap& localHeapLocked()
    {
        m_scheduler.mutex().assertHeld();
        return m_localHeap;
    }

    void effectLocked(std::string_view event, std::string_view args);
    void effect(std::string_view event, std::string_view args);

    // Processes. Each gets an image module (its HINSTANCE) holding `resources`, the bytes of its
    // resource module (a .res file), which are copied.
    ProcessId launch(std::string name, ProcessEntry entry, std::span<const std::uint8_t> resources = {});
    // Installs a program that CreateProcessW can start by its path (image_table.hpp).
    void installImage(std::wstring path, ProcessEntry entry, std::span<const std::uint8_t> resources = {});
    const ImageTable& imagesLocked() const
    {
        m_scheduler.mutex().assertHeld();
        return m_images;
    }
    // Starts an installed image for the calling process, which gets handles to the new process and
    // its main thread when `wantHandles`.
    StartedProcess createProcessLocked(const InstalledImage& image, bool wantHandles);
    // The path of a process's image; empty for none.
    std::wstring imagePathLocked(ProcessId pid) const;
    // The image module of a process; null for none (the device's own threads).
    HMODULE instanceLocked(ProcessId pid) const;
    std::optional<ProcessInfo> process(ProcessId pid) const;
    std::vector<ProcessInfo> processes() const;
    // Runs under the lock when a process ends, before its handles are closed.
    void addProcessExitHook(std::function<void(ProcessId)> hook);
    // Runs under the lock when a thread that CreateThread started has ended.
    void addThreadExitHook(std::function<void(ThreadId)> hook);

    // Threads. A program thread belongs to the caller's process and is frozen by suspension.
    HANDLE createThreadLocked(std::string name, std::function<DWORD()> body, DWORD* threadId);
    // A worker of the device itself (power manager, battery driver): never suspended, never
    // traced, stopped only when the device shuts down.
    ThreadId spawnSystemThread(std::string name, std::function<void()> body);

    // Waits on kernel objects: WAIT_OBJECT_0 + i, WAIT_TIMEOUT. Under the lock.
    DWORD waitLocked(std::unique_lock<DeviceMutex>& lock, const std::vector<std::shared_ptr<KernelObject>>& objects,
                     bool waitAll, DWORD milliseconds);
    // Blocks until `ready()` or the time-out; true when ready. Under the lock.
    bool waitForLocked(std::unique_lock<DeviceMutex>& lock, const std::function<bool()>& ready, DWORD milliseconds);
    // A waited-for state changed (under the lock).
    void signalLocked()
    {
        m_scheduler.mutex().assertHeld();
        m_scheduler.notifyLocked();
    }

    // Named objects.
    std::shared_ptr<EventObject> namedEventLocked(const std::wstring& name) const;
    void nameEventLocked(const std::shared_ptr<EventObject>& event);
    std::shared_ptr<MsgQueueCore> namedQueueLocked(const std::wstring& name) const;
    void nameQueueLocked(const std::shared_ptr<MsgQueueCore>& queue);

    // The gate every platform call of a program passes: refuses calls of an ended process
    // (unwinding its thread on the first), applies the fault plan, and says whether to trace.
    CallGate enterCall(CallName function);
    // The same under the caller's hold of the kernel lock, still held on return, filling in
    // the caller's gate: a gate returned by value was put together from byte stores and read
    // back as a word, which stalls the store buffer on every call.
    void enterCall(CallName function, std::unique_lock<DeviceMutex>& lock, CallGate& gate);
    void traceCall(std::string_view function, std::string_view args, std::string_view result);

    // Shuts the device's threads down; no trace is written afterwards.
    void shutdown();

private:
    // The gate's rare cases, kept out of every call's path: a preemption point, and a caller
    // whose process was ended. Returns whether the call may go on.
    bool enterUnusualCallLocked(std::unique_lock<DeviceMutex>& lock, CallGate& gate, Scheduler::Caller& caller);
    void refuseCallLocked(std::string_view function, CallGate& gate, std::optional<DWORD> error);
    struct Process {
        ProcessInfo info;
        ThreadId mainThread = 0;
        HMODULE instance = nullptr;
        std::wstring imagePath;
        std::shared_ptr<ProcessObject> object;
        std::shared_ptr<ThreadObject> mainThreadObject;
        bool releasePending = false;  // ended, with a thread still stopping
    };
    StartedProcess launchLocked(std::string name, ProcessEntry entry, std::span<const std::uint8_t> resources,
                                std::wstring imagePath);
    void endProcessLocked(ProcessId pid, int code);
    // Frees what an ended process holds: its handles, modules and local memory.
    void releaseProcessLocked(ProcessId pid);
    // A program thread has stopped; the last of an ended process frees what it held.
    void threadEndedLocked(ProcessId pid);

    Scheduler& m_scheduler;
    platform::Device* m_device = nullptr;
    trace::TraceRecorder& m_trace;
    trace::FaultPlan& m_faults;
    HandleTable m_handles;
    ModuleTable m_modules;
    ImageTable m_images;
    LocalHeap m_localHeap;
    std::map<ProcessId, Process> m_processes;
    ProcessId m_nextPid = 1;
    std::vector<std::function<void(ProcessId)>> m_exitHooks;
    std::vector<std::function<void(ThreadId)>> m_threadExitHooks;
    std::map<std::wstring, std::weak_ptr<EventObject>> m_namedEvents;
    std::map<std::wstring, std::weak_ptr<MsgQueueCore>> m_namedQueues;
    bool m_poweredOff = false;
};

// The calling thread's last error.
DWORD lastError();
void setLastError(DWORD error);

}  // namespace velorin::kernel
