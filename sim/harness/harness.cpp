#include "sim/harness/harness.hpp"

#include <algorithm>

namespace velorin::sim {

Harness::Harness(HarnessOptions options) : m_options(std::move(options)), m_device(m_options.device)
{
    m_device.trace().setSink(m_options.traceSink);
}

ProcessId Harness::launch()
{
    const ProcessId pid = m_device.launch(m_options.program.name, m_options.program.entry);
    m_instances.push_back(pid);
    return pid;
}

bool Harness::programRunning() const
{
    return std::any_of(m_instances.begin(), m_instances.end(), [this](ProcessId pid) { return m_device.running(pid); });
}

std::optional<kernel::ProcessInfo> Harness::lastEnded() const
{
    for (auto it = m_instances.rbegin(); it != m_instances.rend(); ++it) {
        const auto info = m_device.kernel().process(*it);
        if (info && !info->running)
            return info;
    }
    return std::nullopt;
}

}  // namespace velorin::sim
