// The machine's charger and battery read from a folder shaped as /sys/class/power_supply.
#include "sim/host_power/power_supply_tree.hpp"

#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace velorin::sim {

namespace {

namespace fs = std::filesystem;

// Sysfs attributes are one short line; a longer file is not one.
constexpr std::size_t kLongestValue = 256;

std::optional<std::string> readValue(const fs::path& file)
{
    std::ifstream in(file);
    std::string text;
    if (!in || !std::getline(in, text) || text.size() > kLongestValue)
        return std::nullopt;
    const auto end = text.find_last_not_of(" \t\r");
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

std::optional<long long> readNumber(const fs::path& file)
{
    const auto text = readValue(file);
    long long value = 0;
    if (!text || text->empty())
        return std::nullopt;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size())
        return std::nullopt;
    return value;
}

struct Battery {
    std::optional<int> capacity;
    std::optional<long long> full;  // energy_full or charge_full: its share of the whole
    std::string status;
};

std::optional<long long> fullCharge(const fs::path& supply)
{
    if (auto energy = readNumber(supply / "energy_full"); energy && *energy > 0)
        return energy;
    if (auto charge = readNumber(supply / "charge_full"); charge && *charge > 0)
        return charge;
    return std::nullopt;
}

int percentOf(const std::vector<Battery>& batteries)
{
    bool weighted = true;
    for (const Battery& b : batteries) {
        if (!b.capacity)
            return kUnknownPercent;
        weighted = weighted && b.full;
    }
    double sum = 0;
    double weights = 0;
    for (const Battery& b : batteries) {
        const double weight = weighted ? static_cast<double>(*b.full) : 1.0;
        sum += weight * *b.capacity;
        weights += weight;
    }
    return static_cast<int>(std::lround(sum / weights));
}

int lineStatusOfBatteries(const std::vector<Battery>& batteries)
{
    bool discharging = false;
    for (const Battery& b : batteries) {
        if (b.status == "Charging" || b.status == "Full" || b.status == "Not charging")
            return 1;
        discharging = discharging || b.status == "Discharging";
    }
    return discharging ? 0 : kUnknownLineStatus;
}

}  // namespace

PowerSupplyReading readPowerSupplyTree(const fs::path& root)
{
    std::vector<Battery> batteries;
    bool chargerListed = false;
    bool chargerOnline = false;
    std::error_code error;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        const fs::path supply = it->path();
        std::error_code kindError;
        if (!fs::is_directory(supply, kindError))
            continue;
        const auto type = readValue(supply / "type");
        if (!type || readValue(supply / "scope") == "Device")
            continue;
        if (*type == "Battery") {
            if (readNumber(supply / "present").value_or(1) == 0)
                continue;
            Battery battery;
            if (auto capacity = readNumber(supply / "capacity"); capacity && *capacity >= 0 && *capacity <= 100)
                battery.capacity = static_cast<int>(*capacity);
            battery.full = fullCharge(supply);
            battery.status = readValue(supply / "status").value_or("");
            batteries.push_back(std::move(battery));
        } else if (const auto online = readNumber(supply / "online")) {
            // USB supplies say 2 for a programmable source: online too.
            chargerListed = true;
            chargerOnline = chargerOnline || *online != 0;
        }
    }

    PowerSupplyReading reading;
    reading.battery = !batteries.empty();
    if (!reading.battery)
        return reading;
    reading.acLineStatus = chargerListed ? (chargerOnline ? 1 : 0) : lineStatusOfBatteries(batteries);
    reading.percent = percentOf(batteries);
    return reading;
}

}  // namespace velorin::sim
