// Device time for people: "0.25s", "12m 30s", "1h 02m 05s".
#include "sim/output/readable_time.hpp"

#include <cstdio>

namespace velorin::sim {

std::string readableTime(DeviceTime time)
{
    if (time < 0)
        return "-" + readableTime(-time);
    char text[48];
    if (time < 60'000) {
        const long long hundredths = (time + 5) / 10;
        std::snprintf(text, sizeof text, "%lld.%02lld", hundredths / 100, hundredths % 100);
        std::string out = text;
        while (out.back() == '0')
            out.pop_back();
        if (out.back() == '.')
            out.pop_back();
        return out == "0" ? out : out + "s";
    }
    const long long seconds = time / 1'000;
    if (seconds < 3'600)
        std::snprintf(text, sizeof text, "%lldm %02llds", seconds / 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%lldh %02lldm %02llds", seconds / 3'600, seconds / 60 % 60, seconds % 60);
    return text;
}

}  // namespace velorin::sim
