#!/usr/bin/env bash
# Times the report on the tests' made-up installation: the whole composition and each kind of
# probe, median of many runs in one process. With --window, times instead the program's whole
# start, from CreateProcess to its painted window with the report in place, against a bare
# window that loads the same DLLs, in alternating pairs, and prints the median ratio per build.
# usage: bench/benchmark.sh [RUNS] [--i686] [--spread]
#        bench/benchmark.sh --window [PAIRS] [--x86_64 | --i686] [--spread]
#   --window runs both builds unless one is named; the 32-bit one runs on 64-bit Windows, as
#   most users run it, and PAIRS is 21 unless given.
# Wine runs on one processor, its server included (and with --window the virtual X server):
# every file and window call is a round trip to the server, and on a virtual machine a round
# trip between two processors can cost several times one on the same processor, which would
# then be most of what is measured and scatter it. --spread lets the system place them.
set -euo pipefail
. "$(dirname "$0")/../tools/wine-loaders"
cd "$(dirname "$0")/.."
top=$(pwd)
runs='' window=0 arches=() place=(taskset -c 0)
for option in "$@"; do
    case "$option" in
        --window) window=1 ;;
        --i686) arches+=(i686) ;;
        --x86_64) arches+=(x86_64) ;;
        --spread) place=() ;;
        *) runs=$option ;;
    esac
done
tools/setup.sh

build() { # arch, targets...
    local dir=build/$1
    tools/configure "$1" -DBUILD_BENCHMARKS=ON
    cmake --build "$dir" -j2 --target "${@:2}" >/dev/null
}

if [ "$window" = 0 ]; then
    arch=${arches[0]:-x86_64} loader=$WINE64 winearch=win64
    [ "$arch" = i686 ] && loader=$WINE32 winearch=win32
    build "$arch" report_benchmark report_tests
    prefix=$top/build/$arch/wineprefix
    tools/make-prefix "$prefix" "$loader" "$winearch" # which leaves no server: the next one is placed below
    tools/make-fixture "$prefix" "$top/build/$arch/tests/components"
    TZ=JST-9 "${place[@]}" tools/wine-run "$prefix" "$loader" "$top/build/$arch/bench/report_benchmark.exe" "${runs:-200}"
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    exit 0
fi

[ "${#arches[@]}" -gt 0 ] || arches=(x86_64 i686)
build x86_64 start_benchmark
for arch in "${arches[@]}"; do
    build "$arch" PokopeReport bare_window
done
# A 64-bit Windows of its own, framing windows itself as on the tests' virtual displays.
prefix=$top/build/benchmark/wineprefix
tools/make-prefix "$prefix" "$WINE64" win64 unmanaged
# its display and Wine server started on the benchmark's processor, whose placing they inherit
cleanup() { tools/wine-session "$prefix" - end; }
trap cleanup EXIT
"${place[@]}" tools/wine-session "$prefix" "$WINE64" start
windows() { echo "Z:${1//\//\\}"; }
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for arch in "${arches[@]}"; do
    label=$arch
    [ "$arch" = i686 ] && label="i686 on 64-bit Windows"
    "${place[@]}" env -u DISPLAY tools/wine-run "$prefix" "$WINE64" "$top/build/x86_64/bench/start_benchmark.exe" \
        "${runs:-21}" "$(windows "$top/build/$arch/PokopeReport.exe")" \
        "$(windows "$top/build/$arch/bench/bare_window.exe")" "$label"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
