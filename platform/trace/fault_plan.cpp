#include "trace/fault_plan.hpp"

namespace velorin::trace {

void FaultPlan::failAlways(std::string function, std::optional<std::uint32_t> error)
{
    add({std::move(function), FaultRule::When::Always, 0, {}, 0.0, error});
}

void FaultPlan::failNth(std::string function, std::uint64_t n, std::optional<std::uint32_t> error)
{
    add({std::move(function), FaultRule::When::Nth, n, {}, 0.0, error});
}

void FaultPlan::failWhile(std::string function, std::function<bool()> condition, std::optional<std::uint32_t> error)
{
    add({std::move(function), FaultRule::When::While, 0, std::move(condition), 0.0, error});
}

void FaultPlan::failWithChance(std::string function, double probability, std::optional<std::uint32_t> error)
{
    add({std::move(function), FaultRule::When::Chance, 0, {}, probability, error});
}

std::uint64_t& FaultPlan::counterOf(std::string_view function)
{
    const std::size_t pick =
        function.empty() ? 0
                         : function.size() * 31 + static_cast<unsigned char>(function.front()) * 7 +
                               static_cast<unsigned char>(function.back());
    Counts::value_type*& recent = m_recent[pick % m_recent.size()];
    if (recent && recent->first == function)
        return recent->second;
    auto it = m_calls.find(function);
    if (it == m_calls.end())
        it = m_calls.emplace(std::string(function), 0).first;
    recent = &*it;
    return it->second;
}

FaultDecision FaultPlan::onCall(std::string_view function)
{
    const std::uint64_t count = ++counterOf(function);
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
        case FaultRule::When::Chance:
            fail = std::uniform_real_distribution<double>(0.0, 1.0)(m_rng) < rule.probability;
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
