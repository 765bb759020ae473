// The line velorin-sim ends with on standard error.
#include "sim/cli/run_summary.hpp"

#include "sim/scenario/device_time.hpp"

namespace velorin::sim {

void printRunSummary(std::ostream& out, const Scenario& scenario, const PlayResult& result, bool interrupted,
                     const std::vector<std::string>& saved)
{
    out << "velorin-sim: " << scenario.file << ": " << scenario.lines.size() << " lines, "
        << result.expectsChecked - result.expectsFailed << " of " << result.expectsChecked << " expectations held";
    if (const auto commandsFailed = result.failures.size() - static_cast<std::size_t>(result.expectsFailed))
        out << ", " << commandsFailed << (commandsFailed == 1 ? " command" : " commands") << " failed";
    out << "; the run " << (interrupted ? "was interrupted" : "ended") << " at " << formatDeviceTime(result.endedAt)
        << " device time";
    for (const auto& what : saved)
        out << "; " << what;
    out << '\n';
}

}  // namespace velorin::sim
