// The fault matrix: one whole scenario (plug, tap, Dismiss, unplug, plug, tap, Close) run again
// and again, each time with one platform call of the utility made to fail: the first call of a
// function, its last, its first at every place where the scenario makes it, or every call; and
// the calls that only a failure before them reaches.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace velorin::reliability {

struct FaultRuleSpec {
    std::string function;
    std::uint64_t nth = 0;  // the n-th call, counted from 1; 0 fails every call
};

struct FaultCase {
    std::vector<FaultRuleSpec> rules;
    // The function the case is about and where the scenario calls it: the message being
    // handled and the call's place among that function's calls there ("WM_TIMER 1 #3").
    std::string function;
    std::string context;
    std::string describe() const;
};

inline constexpr const char* kLastCall = "its last call";
inline constexpr const char* kEveryCall = "every call";

struct MatrixPlan {
    std::vector<FaultCase> cases;
    // Every function the fault-free scenario calls, with its number of calls.
    std::map<std::string, std::uint64_t> calls;
};

// Runs the scenario once without faults and derives the cases from its trace.
const MatrixPlan& matrixPlan();

struct CaseOutcome {
    std::vector<std::string> failures;
    bool injected = false;  // the plan's faults did fail a call
};
CaseOutcome runFaultCase(const FaultCase& faultCase);

}  // namespace velorin::reliability
