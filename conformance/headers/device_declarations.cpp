// The lists against the device's headers, included as a program on the device includes them.
#include <windows.h>
#include <windowsx.h>
#include <msgqueue.h>
#include <pm.h>

#include "conformance/headers/declaration_table.hpp"
#include "conformance/headers/device_declarations.hpp"

namespace velorin::conformance {

namespace {

const Declaration kDeclarations[] = {
#include "conformance/headers/common.inc"
#include "conformance/headers/ce_redefined.inc"
#include "conformance/headers/ce_only.inc"
#include "conformance/headers/desktop_32bit.inc"
};

}  // namespace

std::span<const Declaration> deviceDeclarations()
{
    return kDeclarations;
}

}  // namespace velorin::conformance
