// What a resource script says, after parsing: the resources in script order, each with the
// numbers a resource compiler derives from the statements (implied style bits included).
#pragma once

#include "rc_error.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velorin::rc {

// A window class, menu or control text in a template: nothing, a string, or an ordinal.
struct NameOrOrdinal {
    std::optional<std::uint16_t> ordinal;
    std::u16string name;
};

struct FontSpec {
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t charset = 1;  // DEFAULT_CHARSET
    std::u16string face;
};

struct ControlSpec {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t helpId = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    SourceLocation where;
};

struct DialogSpec {
    bool extended = false;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t helpId = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string caption;
    std::optional<FontSpec> font;
    std::vector<ControlSpec> controls;
};

enum class ResourceKind { Dialog, Icon, Bitmap };

struct ResourceSpec {
    ResourceKind kind = ResourceKind::Dialog;
    std::uint16_t name = 0;
    std::uint16_t language = 0;
    std::uint16_t memoryFlags = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    DialogSpec dialog;           // Dialog
    std::filesystem::path file;  // Icon, Bitmap: resolved path of the file named
    SourceLocation where;
};

struct Script {
    std::vector<ResourceSpec> resources;
};

}  // namespace velorin::rc
