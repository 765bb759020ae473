// What tests and the scenario player drive a device through: boot, launch the program, move
// time, look at what the device did.
#pragma once

#include "boot/device.hpp"
#include "sim/harness/program.hpp"
#include "sim/scenario/device_time.hpp"

#include <optional>
#include <ostream>
#include <vector>

namespace velorin::sim {

using platform::ProcessId;

struct HarnessOptions {
    platform::DeviceOptions device;
    Program program = defaultProgram();
    std::ostream* traceSink = nullptr;  // receives each trace line as it is made
};

class Harness {
public:
    explicit Harness(HarnessOptions options = {});

    platform::Device& device() { return m_device; }
    trace::TraceRecorder& trace() { return m_device.trace(); }
    trace::FaultPlan& faults() { return m_device.faults(); }
    const Program& program() const { return m_options.program; }

    // Starts an instance of the program.
    ProcessId launch();
    const std::vector<ProcessId>& instances() const { return m_instances; }
    // Whether any instance of the program still runs.
    bool programRunning() const;
    // How the last instance to end ended, if one has.
    std::optional<kernel::ProcessInfo> lastEnded() const;

    DeviceTime now() const { return m_device.now(); }
    void runUntil(DeviceTime time) { m_device.runUntil(time); }
    void runFor(DeviceTime duration) { m_device.runFor(duration); }
    void settle() { m_device.settle(); }
    void powerOff() { m_device.powerOff(); }

private:
    HarnessOptions m_options;
    platform::Device m_device;
    std::vector<ProcessId> m_instances;
};

}  // namespace velorin::sim
