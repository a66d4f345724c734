#!/usr/bin/env bash
# Sets the machine up, builds the program and runs it under Wine. On a display the program
# opens there. Without one it runs on a virtual screen: the report is printed here, a
# screenshot is left in build/screenshot.png, and the program is closed.
# usage: tools/run.sh [--i686]   (--i686: the 32-bit build users get; slow to start here)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

arch=x86_64
[ "${1:-}" = --i686 ] && arch=i686

tools/setup.sh
build=build/$arch
[ -e "$build/CMakeCache.txt" ] \
    || cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/$arch-w64-mingw32.cmake" >/dev/null
cmake --build "$build" -j2 --target PokopeReport >/dev/null
[ -e build/x86_64/CMakeCache.txt ] \
    || cmake -S . -B build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake >/dev/null
cmake --build build/x86_64 -j2 --target report_window >/dev/null
program=$top/$build/PokopeReport.exe

# A 64-bit prefix of its own, apart from the tests' made-up installation; it runs the 32-bit
# build too.
prefix=$top/build/run/wineprefix
tools/make-prefix "$prefix" /usr/lib/wine/wine64 win64
run() { tools/wine-run "$prefix" /usr/lib/wine/wine64 "$@"; }

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    run "$program"
    exit 0
fi

source tools/display.sh
start_display
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    stop_display
}
trap cleanup EXIT
echo "run: no display; running on a virtual one ($DISPLAY)" >&2
# Wine draws the window frames itself on its own desktop, as Windows would.
run explorer /desktop=PokopeReport,800x600 "$program" &
run "$top/build/x86_64/report_window.exe" print 600
import -window root -crop 800x600+0+0 "$top/build/screenshot.png"
echo "run: screenshot in build/screenshot.png" >&2
run "$top/build/x86_64/report_window.exe" close
wait
