// velorin-wine-player: plays a scenario on velorin.exe under Wine (or on Windows); the script
// tools/velorin-wine prepares Wine and starts it. Exit status: 0 when every expectation held,
// 1 when one failed, 2 for bad input.
#include "registry_file.hpp"
#include "text.hpp"
#include "wine_player.hpp"

#include <velorin_device.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kExitHeld = 0;
constexpr int kExitFailed = 1;
constexpr int kExitBadInput = 2;
// The device's battery before a scenario says otherwise: on battery, full.
constexpr BYTE kBootLineStatus = 0;
constexpr BYTE kBootPercent = 100;

struct Options {
    std::wstring scenario;
    std::string scenarioName;  // as the user wrote it, for messages
    std::wstring traceFile;
    std::wstring program;
    std::wstring registry;  // the device's persistent hive, loaded before and saved after
    std::string registryName;
    bool machinePower = false;  // the machine's charger drives the battery, not the scenario
};

void usage()
{
    std::cerr << "usage: velorin-wine-player --scenario FILE [--name NAME] [--registry FILE.reg] [--registry-name NAME]\n"
                 "                           [--trace-file FILE] [--program EXE] [--power host|scenario]\n";
}

bool parseOptions(int argc, wchar_t** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (i + 1 >= argc) {
            std::cerr << "velorin-wine-player: " << velorin::wine::narrow(option) << " needs a value\n";
            return false;
        }
        const std::wstring value = argv[++i];
        if (option == L"--scenario")
            options.scenario = value;
        else if (option == L"--name")
            options.scenarioName = velorin::wine::narrow(value);
        else if (option == L"--trace-file")
            options.traceFile = value;
        else if (option == L"--program")
            options.program = value;
        else if (option == L"--registry")
            options.registry = value;
        else if (option == L"--registry-name")
            options.registryName = velorin::wine::narrow(value);
        else if (option == L"--power" && (value == L"host" || value == L"scenario"))
            options.machinePower = value == L"host";
        else {
            std::cerr << "velorin-wine-player: unknown option " << velorin::wine::narrow(option) << "\n";
            return false;
        }
    }
    if (options.scenario.empty())
        return false;
    if (options.scenarioName.empty())
        options.scenarioName = velorin::wine::narrow(options.scenario);
    if (options.registryName.empty())
        options.registryName = velorin::wine::narrow(options.registry);
    if (options.program.empty()) {
        // velorin.exe beside the player.
        wchar_t self[MAX_PATH] = L"";
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring dir = self;
        dir.erase(dir.find_last_of(L"\\/") + 1);
        options.program = dir + L"velorin.exe";
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage();
        return kExitBadInput;
    }
    std::ifstream file(std::filesystem::path(options.scenario), std::ios::binary);
    if (!file) {
        std::cerr << options.scenarioName << ": cannot read the scenario\n";
        return kExitBadInput;
    }
    std::ostringstream text;
    text << file.rdbuf();
    velorin::sim::Scenario scenario;
    try {
        scenario = velorin::sim::parseScenario(text.str(), options.scenarioName);
    } catch (const velorin::sim::ScenarioError& e) {
        std::cerr << e.what() << "\n";
        return kExitBadInput;
    }
    if (const auto refused = options.machinePower ? velorin::sim::refusedWithMachinePower(scenario) : std::nullopt) {
        std::cerr << *refused << "\n";
        return kExitBadInput;
    }
    if (GetFileAttributesW(options.program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::cerr << velorin::wine::narrow(options.program) << ": no such program\n";
        return kExitBadInput;
    }
    // The trace starts empty; a trace file that cannot be made is bad input, found before the run.
    const std::wstring trace = options.traceFile.empty() ? std::wstring(L"NUL") : options.traceFile;
    if (!options.traceFile.empty()) {
        const HANDLE made = CreateFileW(trace.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (made == INVALID_HANDLE_VALUE) {
            std::cerr << velorin::wine::narrow(trace) << ": cannot write the trace\n";
            return kExitBadInput;
        }
        CloseHandle(made);
    }
    velorin::wine::RegFileContents hive;
    std::string why;
    if (!options.registry.empty() &&
        !velorin::wine::loadRegistryFile(options.registry, options.registryName, hive, why)) {
        std::cerr << why << "\n";
        return kExitBadInput;
    }
    const LPCWSTR traceName = options.traceFile.empty() ? L"" : trace.c_str();
    if (options.machinePower)
        VelorinBeginMachineRun(traceName);
    else
        VelorinBeginScenario(traceName, kBootLineStatus, kBootPercent);

    velorin::wine::WinePlayer player(options.program);
    const velorin::wine::PlayOutcome outcome = player.play(scenario, std::cerr);
    if (!options.registry.empty() &&
        !velorin::wine::saveRegistryFile(options.registry, std::move(hive), why))
        std::cerr << why << "\n";
    std::cerr << options.scenarioName << ": " << (outcome.expectsChecked - outcome.expectsFailed) << " of "
              << outcome.expectsChecked << " expectations held\n";
    return outcome.expectsFailed == 0 ? kExitHeld : kExitFailed;
}
