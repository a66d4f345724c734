#!/usr/bin/env bash
# Sets the machine up, builds the program and runs it under Wine. On a display the program
# opens there. Without one it runs on a virtual screen (xvfb-run): the report is printed here, a
# screenshot is left in build/screenshot.png, and the program is closed.
# usage: tools/run.sh [--x86_64] [--docs]
#   The 32-bit build users get runs on a 64-bit Windows, as most users run it.
#   --x86_64  run the 64-bit build of the same source instead
#   --docs    also photograph the About window, and put both pictures in docs/
set -euo pipefail
. "$(dirname "$0")/wine-loaders"
cd "$(dirname "$0")/.."
top=$(pwd)

arch=i686 docs=0
for option in "$@"; do
    case "$option" in
        --x86_64) arch=x86_64 ;;
        --docs) docs=1 ;;
        *) echo "usage: tools/run.sh [--x86_64] [--docs]" >&2; exit 2 ;;
    esac
done
build=build/$arch
program=$top/$build/PokopeReport.exe
# A 64-bit prefix of its own, apart from the tests' made-up installation; the 32-bit build runs
# there as on 64-bit Windows.
prefix=$top/build/run/wineprefix
run() { tools/wine-run "$prefix" "$WINE64" "$@"; }

if [ -z "${RUN_ON_XVFB:-}" ]; then
    tools/setup.sh
    tools/configure "$arch"
    cmake --build "$build" -j2 --target PokopeReport report_window >/dev/null
    tools/make-prefix "$prefix" "$WINE64" win64
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        run "$program"
        exit 0
    fi
    echo "run: no display; running on a virtual one" >&2
    exec env RUN_ON_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# On the virtual display, which xvfb-run ends once no Wine process is left on it, the program
# runs on a desktop of Wine's own, which draws the window frames as Windows would; on a display
# the window manager does.
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
run reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null
timeout 900 tools/wine-run "$prefix" "$WINE64" "$program" &
program_job=$!
reader() { run "$top/$build/tools/report_window.exe" "$@"; }
reader print 600
shoot() { import -window root -crop "$2+0+0" +repage "$1"; }
shoot "$top/build/screenshot.png" 800x600
echo "run: screenshot in build/screenshot.png" >&2
if [ "$docs" = 1 ]; then
    shoot docs/main-window.png 530x352 # the main window's size
    reader command 1012 # the About window
    sleep 2
    shoot docs/about-window.png 530x352
    echo "run: pictures in docs/" >&2
fi
reader close
wait "$program_job"
