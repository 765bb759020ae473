// Two different hives for the crash-safety test, as the device saves them: one large, one small,
// so that a save takes a while and a torn file could not pass for either.
#pragma once

#include "registry/reg_file.hpp"

#include <string>

namespace velorin::reliability {

inline std::string hiveBytes(int keys, int values, unsigned salt)
{
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    for (int k = 0; k < keys; ++k) {
        text += "[HKEY_LOCAL_MACHINE\\Software\\Crash\\Key" + std::to_string(k) + "]\r\n";
        for (int v = 0; v < values; ++v)
            text += "\"Value" + std::to_string(v) + "\"=dword:" + std::to_string((k * 31u + v * 7u + salt) % 100000u) +
                    "\r\n\"Text" + std::to_string(v) + "\"=\"" +
                    std::string(20 + (k + v) % 40, 'a' + static_cast<char>(salt % 26)) + "\"\r\n";
        text += "\r\n";
    }
    const registry::RegFile parsed = registry::parseRegFile(text, "crash.reg");
    return registry::formatRegFile(parsed.hive, registry::RegFileEncoding::Utf16Le);
}

// The hive on disk before the child saves, and the one it saves.
inline const std::string& oldHive()
{
    static const std::string bytes = hiveBytes(400, 6, 1);
    return bytes;
}
inline const std::string& newHive()
{
    static const std::string bytes = hiveBytes(90, 4, 7);
    return bytes;
}

}  // namespace velorin::reliability
