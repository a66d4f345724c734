#!/usr/bin/env bash
# Sets the machine up, builds the 32-bit and 64-bit programs and runs every test under Wine.
# A machine that cannot run 32-bit Wine skips that suite with a message, unless REQUIRE_32BIT=1.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

tools/setup.sh

can32=1
/usr/lib/wine/wine --version >/dev/null 2>&1 || can32=0
if [ "$can32" = 0 ] && [ "${REQUIRE_32BIT:-0}" = 1 ]; then
    echo "test: 32-bit Wine cannot run on this machine, and REQUIRE_32BIT=1" >&2
    exit 1
fi

configure() { # build dir, toolchain
    [ -e "$1/CMakeCache.txt" ] || cmake -S . -B "$1" -DCMAKE_TOOLCHAIN_FILE="cmake/$2.cmake" >/dev/null
}

# Wine prefixes take minutes to create: start them now, while the programs build. The 32-bit
# set-up under qemu is the longest step of the run, so the builds yield the processor to it, and
# the tests start only once both prefixes are made.
mkdir -p build/x86_64 build/i686
tools/make-prefix "$top/build/x86_64/wineprefix" /usr/lib/wine/wine64 win64 unmanaged > build/x86_64-prefix.log 2>&1 &
prefix64_job=$!
if [ "$can32" = 1 ]; then
    tools/make-prefix "$top/build/i686/wineprefix" wine win32 unmanaged > build/i686-prefix.log 2>&1 &
    prefix32_job=$!
fi

configure build/x86_64 x86_64-w64-mingw32
nice -n 10 cmake --build build/x86_64 -j2
if [ "$can32" = 1 ]; then
    configure build/i686 i686-w64-mingw32
    nice -n 10 cmake --build build/i686 -j2
fi

source tools/display.sh
start_display
cleanup() {
    for p in build/x86_64/wineprefix build/i686/wineprefix; do
        [ -d "$p" ] && WINEPREFIX="$top/$p" wineserver -k 2>/dev/null || true
    done
    stop_display
}
trap cleanup EXIT

# One Wine server per prefix for the whole run, instead of one per test program. The first
# program starts Wine's services, which outlive it and keep its output open; start them here,
# writing to a log, so that no test's output stays open behind it.
serve() { # prefix, loader
    WINEPREFIX="$1" wineserver -p
    tools/wine-run "$1" "$2" cmd /c exit > "$1.services.log" 2>&1 \
        || tools/wine-run "$1" "$2" cmd /c exit >> "$1.services.log" 2>&1
}

status=0
wait "$prefix64_job" || { cat build/x86_64-prefix.log; status=1; }
serve "$top/build/x86_64/wineprefix" /usr/lib/wine/wine64
if [ "$can32" = 1 ]; then
    wait "$prefix32_job" || { cat build/i686-prefix.log; status=1; }
    # The 32-bit suite runs beside the 64-bit one; its output follows it.
    (
        serve "$top/build/i686/wineprefix" wine
        # Each process start is slow under qemu: let them overlap. qemu itself now and then
        # crashes a 32-bit process, so a failed test runs once more (a real fault fails twice).
        ctest --test-dir build/i686 --output-on-failure -j3 --repeat until-pass:2
    ) > build/i686-ctest.log 2>&1 &
    job32=$!
fi
echo "== 64-bit (x86_64) tests"
ctest --test-dir build/x86_64 --output-on-failure || status=1
if [ "$can32" = 1 ]; then
    wait "$job32" || status=1
    echo "== 32-bit (i686) tests"
    cat build/i686-ctest.log
else
    echo "== 32-bit (i686) tests SKIPPED: this machine cannot run 32-bit Wine (see tools/setup.sh)"
fi
exit $status
