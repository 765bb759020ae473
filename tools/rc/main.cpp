// velorin-rc: compiles a resource script into a Win32 .res file.
//   velorin-rc [-I DIR]... [--depfile FILE] -o OUT.res SCRIPT.rc
#include "compiler.hpp"
#include "rc_error.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

namespace {
constexpr std::string_view kUsage = "usage: velorin-rc [-I DIR]... [--depfile FILE] -o OUT.res SCRIPT.rc\n";

// Written beside the target and renamed over it, so a failed run never leaves half a file.
void writeAtomically(const fs::path& target, const std::string& bytes)
{
    const fs::path temporary = target.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + temporary.string());
    }
    fs::rename(temporary, target);
}

std::string escapeForMake(const std::string& path)
{
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#')
            out += '\\';
        else if (c == '$')
            out += '$';
        out += c;
    }
    return out;
}
}  // namespace

int main(int argc, char** argv)
{
    velorin::rc::CompileOptions options;
    fs::path output, depfile, script;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if ((arg == "-I" || arg == "-i") && hasValue) {
            options.includeDirs.emplace_back(argv[++i]);
        } else if (arg.size() > 2 && (arg.substr(0, 2) == "-I" || arg.substr(0, 2) == "-i")) {
            options.includeDirs.emplace_back(std::string(arg.substr(2)));
        } else if (arg == "-o" && hasValue) {
            output = argv[++i];
        } else if (arg == "--depfile" && hasValue) {
            depfile = argv[++i];
        } else if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && script.empty()) {
            script = std::string(arg);
        } else {
            std::cerr << "velorin-rc: unexpected argument " << arg << "\n" << kUsage;
            return 2;
        }
    }
    if (script.empty() || output.empty()) {
        std::cerr << kUsage;
        return 2;
    }

    try {
        const velorin::rc::CompileResult result = velorin::rc::compile(script, options);
        writeAtomically(output, std::string(result.res.begin(), result.res.end()));
        if (!depfile.empty()) {
            std::string text = escapeForMake(output.string()) + ":";
            for (const fs::path& input : result.inputs)
                text += " \\\n  " + escapeForMake(input.string());
            writeAtomically(depfile, text + "\n");
        }
    } catch (const velorin::rc::RcError& e) {
        std::cerr << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "velorin-rc: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
