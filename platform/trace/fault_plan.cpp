// The fault plan's rules: which call of which function fails, counted per name.
#include "trace/fault_plan.hpp"

namespace velorin::trace {

void FaultPlan::failAlways(std::string function, std::optional<std::uint32_t> error)
{
    add({std::move(function), FaultRule::When::Always, 0, {}, error});
}

void FaultPlan::failNth(std::string function, std::uint64_t n, std::optional<std::uint32_t> error)
{
    add({std::move(function), FaultRule::When::Nth, n, {}, error});
}

void FaultPlan::failWhile(std::string function, std::function<bool()> condition, std::optional<std::uint32_t> error)
{
    add({std::move(function), FaultRule::When::While, 0, std::move(condition), error});
}

std::uint64_t& FaultPlan::counterFound(std::string_view function, std::array<Recent, 2>& pair)
{
    auto it = m_calls.find(function);
    if (it == m_calls.end())
        it = m_calls.emplace(std::string(function), 0).first;
    // The newer of the two goes first; the older gives way.
    pair[1] = pair[0];
    pair[0] = Recent{function.data(), function.size(), &it->second};
    return it->second;
}

FaultDecision FaultPlan::decide(std::string_view function, std::uint64_t count)
{
    for (const auto& rule : m_rules) {
        if (rule.function != "*" && rule.function != function)
            continue;
        bool fail = false;
        switch (rule.when) {
        case FaultRule::When::Always:
            fail = true;
            break;
        case FaultRule::When::Nth:
            fail = count == rule.nth;
            break;
        case FaultRule::When::While:
            fail = rule.condition && rule.condition();
            break;
        }
        if (fail) {
            ++m_injected;
            return {true, rule.error};
        }
    }
    return {};
}

std::uint64_t FaultPlan::callCount(std::string_view function) const
{
    const auto it = m_calls.find(function);
    return it == m_calls.end() ? 0 : it->second;
}

}  // namespace velorin::trace
