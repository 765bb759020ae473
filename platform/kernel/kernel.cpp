// The kernel's processes and threads, its call gate, its waits and its named objects.
#include "kernel/kernel.hpp"

#include "kernel/winbase.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

namespace velorin::kernel {

// Trace lines carry the clock's own time, unconverted.
static_assert(std::is_same_v<DeviceTime, trace::LineTime>);

namespace {
Kernel* currentKernel()
{
    return static_cast<Kernel*>(threadLocals().kernel);
}

void setCurrentKernel(Kernel* kernel)
{
    threadLocals().kernel = kernel;
}

// Removes a wait from its objects' waiter lists however the wait ends.
class WaitRegistration {
public:
    WaitRegistration(WaitRecord& record, const std::vector<std::shared_ptr<KernelObject>>& objects)
        : m_record(record), m_objects(objects)
    {
        for (const auto& o : m_objects)
            o->waiters.push_back(&m_record);
    }
    ~WaitRegistration()
    {
        for (const auto& o : m_objects)
            std::erase(o->waiters, &m_record);
    }
    WaitRegistration(const WaitRegistration&) = delete;
    WaitRegistration& operator=(const WaitRegistration&) = delete;

private:
    WaitRecord& m_record;
    const std::vector<std::shared_ptr<KernelObject>>& m_objects;
};
}  // namespace

DWORD lastError()
{
    return threadLocals().lastError;
}

void setLastError(DWORD error)
{
    threadLocals().lastError = error;
}

Kernel::Kernel(Scheduler& scheduler, trace::TraceRecorder& trace, trace::FaultPlan& faults)
    : m_scheduler(scheduler), m_trace(trace), m_faults(faults)
{
}

Kernel::~Kernel()
{
    shutdown();
}

Kernel& Kernel::current()
{
    Kernel* kernel = currentKernel();
    if (!kernel) {
        std::fprintf(stderr, "a platform call was made from a thread that is not a device thread\n");
        std::abort();
    }
    return *kernel;
}

void Kernel::attachController()
{
    m_scheduler.attachController();
    setCurrentKernel(this);
}

void Kernel::enterAsController()
{
    m_scheduler.enterAsController();
    if (m_scheduler.currentId() != 0)
        setCurrentKernel(this);
}

void Kernel::effectLocked(std::string_view event, std::string_view args)
{
    m_scheduler.mutex().assertHeld();
    if (!m_poweredOff)
        m_trace.effect(m_scheduler.nowLocked(), event, args);
}

void Kernel::effect(std::string_view event, std::string_view args)
{
    std::lock_guard lock(mutex());
    effectLocked(event, args);
}

ProcessId Kernel::launch(std::string name, ProcessEntry entry, std::span<const std::uint8_t> resources)
{
    std::lock_guard lock(mutex());
    std::wstring image = trace::widen(name);
    return launchLocked(std::move(name), std::move(entry), resources, imagePathOf(image)).pid;
}

void Kernel::installImage(std::wstring path, ProcessEntry entry, std::span<const std::uint8_t> resources)
{
    std::lock_guard lock(mutex());
    m_images.install(std::move(path), std::move(entry), resources);
}

StartedProcess Kernel::createProcessLocked(const InstalledImage& image, bool wantHandles)
{
    m_scheduler.mutex().assertHeld();
    const std::wstring file = image.path.substr(image.path.find_last_of(L'\\') + 1);
    std::string name = trace::narrow(file.substr(0, file.find_last_of(L'.')));
    StartedProcess started = launchLocked(std::move(name), image.entry, image.resources, image.path);
    if (wantHandles) {
        const ProcessId owner = m_scheduler.currentProcess();
        const Process& p = m_processes.at(started.pid);
        started.process = m_handles.add(p.object, owner);
        started.thread = m_handles.add(p.mainThreadObject, owner);
    }
    return started;
}

StartedProcess Kernel::launchLocked(std::string name, ProcessEntry entry, std::span<const std::uint8_t> resources,
                                    std::wstring imagePath)
{
    m_scheduler.mutex().assertHeld();
    const ProcessId pid = m_nextPid++;
    Process& p = m_processes[pid];
    p.info = ProcessInfo{pid, name, true, 0};
    p.instance = m_modules.addImage(imagePath, resources, pid);
    p.imagePath = std::move(imagePath);
    p.object = std::make_shared<ProcessObject>();
    p.object->pid = pid;
    p.mainThreadObject = std::make_shared<ThreadObject>();
    p.mainThreadObject->pid = pid;
    effectLocked("launch", "pid=" + std::to_string(pid));
    auto code = std::make_shared<int>(0);
    p.mainThread = m_scheduler.spawn(
        std::move(name), pid, true,
        [this, entry = std::move(entry), code] {
            setCurrentKernel(this);
            *code = entry();
        },
        [this, pid, code](ThreadId) { endProcessLocked(pid, *code); });
    p.mainThreadObject->id = p.mainThread;
    return StartedProcess{pid, p.mainThread, nullptr, nullptr};
}

std::wstring Kernel::imagePathLocked(ProcessId pid) const
{
    m_scheduler.mutex().assertHeld();
    const auto it = m_processes.find(pid);
    return it == m_processes.end() ? std::wstring() : it->second.imagePath;
}

HMODULE Kernel::instanceLocked(ProcessId pid) const
{
    m_scheduler.mutex().assertHeld();
    const auto it = m_processes.find(pid);
    return it == m_processes.end() ? nullptr : it->second.instance;
}

std::optional<ProcessInfo> Kernel::process(ProcessId pid) const
{
    std::lock_guard lock(m_scheduler.mutex());
    const auto it = m_processes.find(pid);
    if (it == m_processes.end())
        return std::nullopt;
    return it->second.info;
}

std::vector<ProcessInfo> Kernel::processes() const
{
    std::lock_guard lock(m_scheduler.mutex());
    std::vector<ProcessInfo> out;
    for (const auto& [pid, p] : m_processes)
        out.push_back(p.info);
    return out;
}

void Kernel::addProcessExitHook(std::function<void(ProcessId)> hook)
{
    std::lock_guard lock(mutex());
    m_exitHooks.push_back(std::move(hook));
}

void Kernel::addThreadExitHook(std::function<void(ThreadId)> hook)
{
    std::lock_guard lock(mutex());
    m_threadExitHooks.push_back(std::move(hook));
}

void Kernel::endProcessLocked(ProcessId pid, int code)
{
    m_scheduler.mutex().assertHeld();
    Process& p = m_processes.at(pid);
    if (!p.info.running)
        return;
    p.info.running = false;
    p.info.exitCode = code;
    // Its handles see the end at once, with the main thread's result as both exit codes.
    p.object->finished = true;
    p.object->exitCode = static_cast<DWORD>(code);
    p.mainThreadObject->finished = true;
    p.mainThreadObject->exitCode = static_cast<DWORD>(code);
    effectLocked("exit", "pid=" + std::to_string(pid) + " code=" + std::to_string(code));
    m_scheduler.killProcessLocked(pid);
    for (const auto& hook : m_exitHooks)
        hook(pid);
    // With threads truly at once, another thread of the process may be inside a call right now:
    // what the process holds goes once its last thread has stopped, as a kernel tears a process
    // down. Serially none can be, and it goes at once.
    if (m_scheduler.runMode() == RunMode::Free && m_scheduler.hasLiveThreadsLocked(pid))
        p.releasePending = true;
    else
        releaseProcessLocked(pid);
    signalLocked();
}

void Kernel::releaseProcessLocked(ProcessId pid)
{
    m_scheduler.mutex().assertHeld();
    m_processes.at(pid).releasePending = false;
    m_handles.closeOwnedBy(pid);
    m_modules.unloadAll(pid);
    m_localHeap.releaseAll(pid);
}

void Kernel::threadEndedLocked(ProcessId pid)
{
    m_scheduler.mutex().assertHeld();
    const auto it = m_processes.find(pid);
    if (it != m_processes.end() && it->second.releasePending && !m_scheduler.hasLiveThreadsLocked(pid))
        releaseProcessLocked(pid);
}

HANDLE Kernel::createThreadLocked(std::string name, std::function<DWORD()> body, DWORD* threadId)
{
    m_scheduler.mutex().assertHeld();
    auto object = std::make_shared<ThreadObject>();
    object->pid = m_scheduler.currentProcess();
    object->id = m_scheduler.spawn(
        std::move(name), object->pid, true,
        [this, body = std::move(body), object] {
            setCurrentKernel(this);
            const DWORD code = body();
            std::lock_guard lock(mutex());
            object->exitCode = code;
        },
        [this, object](ThreadId id) {
            object->finished = true;
            for (const auto& hook : m_threadExitHooks)
                hook(id);
            threadEndedLocked(object->pid);
            signalLocked();
        });
    if (threadId)
        *threadId = object->id;
    return m_handles.add(object, object->pid);
}

ThreadId Kernel::spawnSystemThread(std::string name, std::function<void()> body)
{
    std::lock_guard lock(mutex());
    return m_scheduler.spawn(
        std::move(name), kSystemProcess, false,
        [this, body = std::move(body)] {
            setCurrentKernel(this);
            body();
        },
        nullptr);
}

DWORD Kernel::waitLocked(std::unique_lock<DeviceMutex>& lock, const std::vector<std::shared_ptr<KernelObject>>& objects,
                         bool waitAll, DWORD milliseconds)
{
    m_scheduler.mutex().assertHeld();
    WaitRecord record;
    for (const auto& o : objects)
        record.objects.push_back(o.get());
    record.waitAll = waitAll;
    const std::function<bool()> ended = [&] { return record.released || record.satisfiable(); };
    WaitRegistration registration(record, objects);
    if (!waitForLocked(lock, ended, milliseconds))
        return WAIT_TIMEOUT;
    record.release();
    return WAIT_OBJECT_0 + static_cast<DWORD>(*record.released);
}

bool Kernel::waitForLocked(std::unique_lock<DeviceMutex>& lock, const std::function<bool()>& ready, DWORD milliseconds)
{
    m_scheduler.mutex().assertHeld();
    if (ready())
        return true;
    if (milliseconds == 0)
        return false;
    const DeviceTime deadline = deadlineAfter(m_scheduler.nowLocked(), milliseconds);
    return m_scheduler.block(lock, ready, deadline) == WakeReason::Ready;
}

std::shared_ptr<EventObject> Kernel::namedEventLocked(const std::wstring& name) const
{
    m_scheduler.mutex().assertHeld();
    const auto it = m_namedEvents.find(name);
    return it == m_namedEvents.end() ? nullptr : it->second.lock();
}

void Kernel::nameEventLocked(const std::shared_ptr<EventObject>& event)
{
    m_scheduler.mutex().assertHeld();
    m_namedEvents[event->name] = event;
}

std::shared_ptr<MsgQueueCore> Kernel::namedQueueLocked(const std::wstring& name) const
{
    m_scheduler.mutex().assertHeld();
    const auto it = m_namedQueues.find(name);
    return it == m_namedQueues.end() ? nullptr : it->second.lock();
}

void Kernel::nameQueueLocked(const std::shared_ptr<MsgQueueCore>& queue)
{
    m_scheduler.mutex().assertHeld();
    m_namedQueues[queue->name] = queue;
}

CallGate Kernel::enterCall(CallName function)
{
    std::unique_lock lock(mutex());
    CallGate gate;
    enterCall(function, lock, gate);
    return gate;
}

void Kernel::enterCall(CallName function, std::unique_lock<DeviceMutex>& lock, CallGate& gate)
{
    Scheduler::Caller caller = m_scheduler.caller();
    if (caller.killed || (caller.pid != kSystemProcess && m_scheduler.runMode() == RunMode::Preemptive)) {
        if (!enterUnusualCallLocked(lock, gate, caller))
            return;
    }
    if (caller.pid == kSystemProcess)
        return;
    m_scheduler.busyCallLocked(lock);
    gate.traced = m_trace.wantsCalls();
    const trace::FaultDecision decision = m_faults.onCall(function);
    if (decision.fail)
        refuseCallLocked(function, gate, decision.error);
}

[[gnu::noinline]] bool Kernel::enterUnusualCallLocked(std::unique_lock<DeviceMutex>& lock, CallGate& gate,
                                                      Scheduler::Caller& caller)
{
    m_scheduler.mutex().assertHeld();
    if (!caller.killed) {
        m_scheduler.preemptionPointLocked(lock);
        caller = m_scheduler.caller();  // its process may have ended while others ran
    }
    if (caller.killed) {
        if (caller.unwinding) {
            gate.proceed = false;
            return false;
        }
        lock.unlock();
        m_scheduler.unwindCurrent();
    }
    return true;
}

[[gnu::noinline]] void Kernel::refuseCallLocked(std::string_view function, CallGate& gate, std::optional<DWORD> error)
{
    m_scheduler.mutex().assertHeld();
    gate.proceed = false;
    gate.error = error;
    effectLocked("fault", std::string(function));
}

void Kernel::traceCall(std::string_view function, std::string_view args, std::string_view result)
{
    std::string text(function);
    text += '(';
    text += args;
    text += ')';
    if (!result.empty()) {
        text += " = ";
        text += result;
    }
    std::lock_guard lock(mutex());
    if (!m_poweredOff)
        m_trace.detail(m_scheduler.nowLocked(), "call", text);
}

void Kernel::shutdown()
{
    {
        std::lock_guard lock(mutex());
        if (m_poweredOff)
            return;
        m_poweredOff = true;
    }
    m_scheduler.shutdown();
    if (currentKernel() == this)
        setCurrentKernel(nullptr);
}

}  // namespace velorin::kernel
