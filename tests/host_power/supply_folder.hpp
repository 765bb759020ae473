// A folder shaped as /sys/class/power_supply that a test writes, removed at the end.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace velorin::sim::testing {

class SupplyFolder {
public:
    explicit SupplyFolder(const std::string& name)
        : m_root(std::filesystem::path(::testing::TempDir()) / ("velorin-supplies-" + name))
    {
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root);
    }
    ~SupplyFolder() { std::filesystem::remove_all(m_root); }
    SupplyFolder(const SupplyFolder&) = delete;
    SupplyFolder& operator=(const SupplyFolder&) = delete;

    const std::filesystem::path& root() const { return m_root; }

    // One attribute, written as the kernel shows it: the value and a newline.
    void write(const std::string& supply, const std::string& file, const std::string& value) const
    {
        std::filesystem::create_directories(m_root / supply);
        std::ofstream(m_root / supply / file) << value << '\n';
    }
    void charger(const std::string& supply, int online, const std::string& type = "Mains") const
    {
        write(supply, "type", type);
        write(supply, "online", std::to_string(online));
    }
    void battery(const std::string& supply, int capacity, const std::string& status) const
    {
        write(supply, "type", "Battery");
        write(supply, "capacity", std::to_string(capacity));
        write(supply, "status", status);
    }
    void remove(const std::string& supply) const { std::filesystem::remove_all(m_root / supply); }

private:
    std::filesystem::path m_root;
};

}  // namespace velorin::sim::testing
