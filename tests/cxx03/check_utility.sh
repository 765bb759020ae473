#!/bin/bash
# Compiles every source and header of the utility alone, as Windows CE 5.0's compilers would take
# them: C++03, no exceptions, nothing but the platform's headers and CE's C runtime. Each file is
# compiled with -fsyntax-only against one set of platform headers; every failure is printed.
#   check_utility.sh ROOT COMPILER [FLAGS...]
# ROOT is the source tree; FLAGS name the platform's headers and the target (defines, -m, ...).
set -u
root=$1 compiler=$2
shift 2
command -v "$compiler" >/dev/null || { echo "the compiler $compiler is not installed (run tools/setup.sh with tools/packages-win32.txt)" >&2; exit 1; }

flags=(-std=c++03 -pedantic-errors -Werror -Wall -Wextra -fno-exceptions -fsyntax-only -I "$root/utility" "$@")
mapfile -t files < <(cd "$root" && find utility -name '*.cpp' -o -name '*.h' | sort)
((${#files[@]} > 0)) || { echo "no utility sources under $root/utility" >&2; exit 1; }

failed=0
for file in "${files[@]}"; do
    # A header alone must compile too: it includes what it needs.
    if ! out=$("$compiler" "${flags[@]}" -x c++ "$root/$file" 2>&1); then
        echo "$file: not C++03 with $compiler:" >&2
        echo "$out" >&2
        failed=$((failed + 1))
    fi
done
if ((failed)); then
    echo "$failed of ${#files[@]} files of the utility do not compile as C++03 with $compiler" >&2
    exit 1
fi
echo "all ${#files[@]} files of the utility compile as C++03 with $compiler $*"
