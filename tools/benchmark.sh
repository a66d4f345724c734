#!/usr/bin/env bash
# Times the report on the tests' made-up installation: the whole composition and each kind of
# probe, median of many runs in one process.
# usage: tools/benchmark.sh [RUNS] [--i686] [--spread]
# Wine runs on one processor, its server included: every file call is a round trip to the
# server, and on a virtual machine a round trip between two processors can cost several times
# one on the same processor, which would then be most of what is measured. --spread lets the
# system place them.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
runs=200 arch=x86_64 loader=/usr/lib/wine/wine64 winearch=win64 place=(taskset -c 0)
for option in "$@"; do
    case "$option" in
        --i686) arch=i686 loader=wine winearch=win32 ;;
        --spread) place=() ;;
        *) runs=$option ;;
    esac
done
tools/setup.sh
build=build/$arch
[ -e "$build/CMakeCache.txt" ] \
    || cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/$arch-w64-mingw32.cmake" >/dev/null
cmake --build "$build" -j2 --target report_benchmark report_tests >/dev/null
prefix=$top/$build/wineprefix
tools/make-prefix "$prefix" "$loader" "$winearch" # which leaves no server: the next one is placed below
tools/make-fixture "$prefix" "$top/$build/tests/components"
TZ=JST-9 "${place[@]}" tools/wine-run "$prefix" "$loader" "$top/$build/report_benchmark.exe" "$runs"
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
