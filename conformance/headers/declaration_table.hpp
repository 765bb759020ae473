// The entries of the lists (*.inc) as Declaration initialisers: a translation unit includes the
// system headers, then this, then the lists inside an array of Declaration.
//
//   CONSTANT(name)            a value: an integer, or a handle's bits (HWND_TOPMOST)
//   EXPRESSION(expr)          the value and result type of a macro or inline function at work
//   TYPE(name)                a typedef's size, alignment and shape
//   RECORD(name)              a structure's size and alignment; its fields follow, all of them,
//                             in order (the WCHAR width is taken out of the layout with them)
//   FIELD(record, field)      offset, size, alignment and shape
//   FUNCTION(name)            the shape of the function
//   OVERLOAD(name, type)      the same, for a name that Windows' C++ headers overload (mingw-w64
//                             adds unsigned forms of the Interlocked calls): the one of `type`
//                             there; the device overloads no Win32 name, so its one function
#pragma once

#include "conformance/headers/declaration.hpp"

#include <cstddef>
#include <cstdint>
#include <type_traits>

#define VELORIN_TEXT(size, chars) ::velorin::conformance::text<::velorin::conformance::size>(chars)
#define VELORIN_ENTRY(kind, name, a, b, c, shape)                                                                      \
    {{static_cast<std::int64_t>(a), static_cast<std::int64_t>(b), static_cast<std::int64_t>(c)},                       \
     VELORIN_TEXT(kKindSize, kind),                                                                                    \
     VELORIN_TEXT(kNameSize, name),                                                                                    \
     shape},

// A C cast, so that a handle's bits and an integer read alike, and so that mingw-w64's
// ((HWND)-1) still folds into static data.
#define CONSTANT(name) VELORIN_ENTRY("constant", #name, (std::int64_t)(name), 0, 0, {})
#define EXPRESSION(expr)                                                                                               \
    VELORIN_ENTRY("expression", #expr, (std::int64_t)(expr), 0, 0,                                                     \
                  ::velorin::conformance::shapeOf<std::remove_cvref_t<decltype(expr)>>())
#define TYPE(name) VELORIN_ENTRY("type", #name, sizeof(name), alignof(name), 0, ::velorin::conformance::shapeOf<name>())
#define RECORD(name) VELORIN_ENTRY("record", #name, sizeof(name), alignof(name), 0, {})
#define FIELD(record, field)                                                                                           \
    VELORIN_ENTRY("field", #record "." #field, offsetof(record, field), sizeof(record::field),                         \
                  alignof(decltype(record::field)), ::velorin::conformance::shapeOf<decltype(record::field)>())
#define FUNCTION(name)                                                                                                 \
    VELORIN_ENTRY("function", #name, 0, 0, 0, ::velorin::conformance::shapeOf<std::remove_pointer_t<decltype(&name)>>())
#ifdef _WIN32
#define OVERLOAD(name, type)                                                                                           \
    VELORIN_ENTRY("function", #name, 0, 0, 0,                                                                          \
                  ::velorin::conformance::shapeOf<                                                                     \
                      std::remove_pointer_t<decltype(static_cast<std::add_pointer_t<type>>(&name))>>())
#else
#define OVERLOAD(name, type) FUNCTION(name)
#endif
