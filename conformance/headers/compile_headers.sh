#!/usr/bin/env bash
# The public headers as a program for CE includes them: each alone, as C and as C++03, with every
# warning an error. CE's compilers take C and C++03 only, so a header that needs more is one that
# no program for the device could include.
#
#   compile_headers.sh device CC CXX PLATFORM_DIR
#       the device's headers (platform/) with the build's own compilers, as C89, C99 and C++03
#   compile_headers.sh win32 WIN32_BUILD INCLUDE_DIR
#       the CE layer's (win32/include) on top of mingw-w64's, with its x86_64 and i686 compilers as
#       C99 and C++03; skipped (77) where mingw-w64 is not installed and no Win32 build expects it
set -uo pipefail

strict=(-pedantic-errors -Werror -Wall -Wextra -fsyntax-only)
failures=0

# compile COMPILER STANDARD LANGUAGE INCLUDE_DIR HEADER...: the headers in one translation unit,
# in that order, as a program's source includes them. check counts a failure.
compile() {
    local compiler="$1" standard="$2" language="$3" include="$4"
    shift 4
    local includes=()
    for header in "$@"; do includes+=(-include "$header"); done
    # From an empty folder, so that an -include finds the header through -I, as #include does.
    if ! (cd "$empty" && "$compiler" "-std=$standard" "${strict[@]}" -I"$include" -x "$language" "${includes[@]}" \
              /dev/null); then
        echo "FAILED: $compiler -std=$standard: $*" >&2
        return 1
    fi
}

check() {
    compile "$@" || failures=$((failures + 1))
}

require() {
    if [[ -z $1 || $1 == *-NOTFOUND ]] || ! command -v "$1" >/dev/null; then
        echo "error: the $2 compiler that this check needs is missing (${1:-none given})" >&2
        exit 1
    fi
}

empty="$(mktemp -d)"
trap 'rm -rf "$empty"' EXIT

case "${1:-}" in
device)
    cc="$2" cxx="$3" platform="$(cd "$4" && pwd)" || exit 2
    require "$cc" C
    require "$cxx" C++
    headers=(windows.h windowsx.h pm.h msgqueue.h kernel/windef.h kernel/winerror.h kernel/winbase.h
             kernel/winbase_sync.h kernel/msgqueue.h registry/winreg.h gdi/wingdi.h display/windisplay.h
             power/winbase_power.h power/pm.h window/winuser.h window/windowsx.h resources/winres.h)
    for header in "${headers[@]}"; do
        check "$cc" c89 c "$platform" "$header"
        check "$cc" c99 c "$platform" "$header"
        check "$cxx" c++03 c++ "$platform" "$header"
    done
    count=$((${#headers[@]} * 3))
    ;;
win32)
    build="$2" include="$(cd "$3" && pwd)" || exit 2
    compilers=(x86_64-w64-mingw32-gcc x86_64-w64-mingw32-g++ i686-w64-mingw32-gcc i686-w64-mingw32-g++)
    found=0
    for compiler in "${compilers[@]}"; do command -v "$compiler" >/dev/null && found=$((found + 1)); done
    if ((found == 0)) && [[ ! -f $build/CMakeCache.txt ]]; then
        echo "mingw-w64 is not installed and there is no Win32 build (make win32): not checked."
        exit 77
    fi
    for compiler in "${compilers[@]}"; do require "$compiler" "mingw-w64 ($compiler)"; done
    # windows.h reaches ce_windows.h, so these four are every header alone. Each pulls in all of
    # Windows' own headers, which is what takes the time: alone with the x86_64 compilers, and
    # all together with the i686 ones for the other word size.
    headers=(windows.h pm.h msgqueue.h velorin_device.h)
    for header in "${headers[@]}"; do
        compile x86_64-w64-mingw32-gcc c99 c "$include" "$header" &
        c=$!
        check x86_64-w64-mingw32-g++ c++03 c++ "$include" "$header"
        wait $c || failures=$((failures + 1))
    done
    compile i686-w64-mingw32-gcc c99 c "$include" "${headers[@]}" &
    c=$!
    check i686-w64-mingw32-g++ c++03 c++ "$include" "${headers[@]}"
    wait $c || failures=$((failures + 1))
    count=$((${#headers[@]} * 2 + 2))
    ;;
*)
    echo "usage: compile_headers.sh device CC CXX PLATFORM_DIR | win32 WIN32_BUILD INCLUDE_DIR" >&2
    exit 2
    ;;
esac

if ((failures > 0)); then
    echo "$failures of $count compilations failed" >&2
    exit 1
fi
echo "$count compilations of the headers alone, as C and C++03: all clean"
