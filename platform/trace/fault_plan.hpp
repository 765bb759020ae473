// Which platform calls of a program are made to fail, and how.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velorin::trace {

// A rule names one platform function ("*" for any) and when its calls fail. A failing call
// returns the function's documented failure result and sets its usual last error, unless the
// rule gives another error.
struct FaultRule {
    std::string function;
    enum class When { Always, Nth, While } when = When::Always;
    std::uint64_t nth = 0;            // Nth: the n-th call of the function, counted from 1
    std::function<bool()> condition;  // While: evaluated at the call, under the kernel lock
    std::optional<std::uint32_t> error;
};

struct FaultDecision {
    bool fail = false;
    std::optional<std::uint32_t> error;
};

class FaultPlan {
public:
    void add(FaultRule rule) { m_rules.push_back(std::move(rule)); }
    void failAlways(std::string function, std::optional<std::uint32_t> error = {});
    void failNth(std::string function, std::uint64_t n, std::optional<std::uint32_t> error = {});
    void failWhile(std::string function, std::function<bool()> condition, std::optional<std::uint32_t> error = {});
    void clear() { m_rules.clear(); }

    // Counts the call and says whether it fails. `function` is a name of static storage (a
    // literal): its counter is found again by the name's address. Every platform call passes
    // here, so the common case (a name seen before, no rules) is inline and calls nothing.
    FaultDecision onCall(std::string_view function)
    {
        const std::uint64_t count = ++counterOf(function);
        if (m_rules.empty())
            return {};
        return decide(function, count);
    }
    std::uint64_t callCount(std::string_view function) const;
    std::uint64_t injectedCount() const { return m_injected; }

private:
    std::vector<FaultRule> m_rules;
    // Every platform call passes here: hashed, looked up by the name's view without a copy.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    using Counts = std::unordered_map<std::string, std::uint64_t, NameHash, std::equal_to<>>;
    Counts m_calls;
    // A pair of slots picked from the name's address keeps the counters last found for two
    // addresses (entries never move), so most calls neither compare nor hash the name; with one
    // slot, two names a frame calls in turn could evict each other on every call.
    struct Recent {
        const char* name = nullptr;
        std::size_t size = 0;
        std::uint64_t* counter = nullptr;
    };
    std::array<std::array<Recent, 2>, 32> m_recent{};

    std::uint64_t& counterOf(std::string_view function)
    {
        const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(function.data()));
        // Names lie close together: the multiply spreads neighbouring addresses over the pairs.
        static_assert(std::tuple_size_v<decltype(m_recent)> == 32, "five bits pick the pair");
        auto& pair = m_recent[(address * 0x9E3779B97F4A7C15ull) >> 59];
        for (const Recent& recent : pair)
            if (recent.name == function.data() && recent.size == function.size())
                return *recent.counter;
        return counterFound(function, pair);
    }
    // A name not among the pair's: looked up by its text, then kept in the pair.
    std::uint64_t& counterFound(std::string_view function, std::array<Recent, 2>& pair);
    FaultDecision decide(std::string_view function, std::uint64_t count);
    std::uint64_t m_injected = 0;
};

}  // namespace velorin::trace
