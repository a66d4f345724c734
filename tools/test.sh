#!/usr/bin/env bash
# Sets the machine up, builds the 32-bit and 64-bit programs and runs every test under Wine: each
# build in a prefix of its own kind, and the 32-bit build in a 64-bit prefix besides. A machine
# that cannot run 32-bit Wine skips the 32-bit suite with a message, unless REQUIRE_32BIT=1.
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

# The prefixes are made while the programs build: PREFIX:LOADER:WINEARCH
prefixes=("build/x86_64/wineprefix:/usr/lib/wine/wine64:win64")
[ "$can32" = 0 ] || prefixes+=("build/i686/wineprefix:wine:win32" "build/i686/wow64prefix:/usr/lib/wine/wine64:win64")
mkdir -p build/x86_64 build/i686
jobs=()
for entry in "${prefixes[@]}"; do
    IFS=: read -r prefix loader arch <<< "$entry"
    tools/make-prefix "$top/$prefix" "$loader" "$arch" unmanaged > "$prefix.log" 2>&1 &
    jobs+=($!)
done

configure build/x86_64 x86_64-w64-mingw32
cmake --build build/x86_64 -j2
if [ "$can32" = 1 ]; then
    configure build/i686 i686-w64-mingw32
    cmake --build build/i686 -j2
fi
echo "test: set up and built in $SECONDS s"

source tools/display.sh
cleanup() {
    for entry in "${prefixes[@]}"; do
        WINEPREFIX="$top/${entry%%:*}" wineserver -k 2>/dev/null || true
    done
}
trap cleanup EXIT

status=0
for i in "${!prefixes[@]}"; do
    prefix=${prefixes[$i]%%:*}
    wait "${jobs[$i]}" || { cat "$prefix.log"; status=1; }
done

# One Wine server per prefix for the whole run, instead of one per test program. The first
# program starts Wine's services, which outlive it and keep its output open; start them here,
# writing to a log, so that no test's output stays open behind it.
serve() { # prefix, loader
    WINEPREFIX="$1" wineserver -p
    tools/wine-run "$1" "$2" cmd /c exit > "$1.services.log" 2>&1
}

# The suites run side by side, each on a display of its own: the 64-bit build, the 32-bit one,
# and the 32-bit one on 64-bit Windows (the tests labelled wow64).
suite() { # name, build dir, prefix, loader, ctest options...
    local name=$1 build=$2 prefix=$3 loader=$4
    shift 4
    (
        start_display
        trap stop_display EXIT
        serve "$top/$prefix" "$loader"
        ctest --test-dir "$build" --output-on-failure "$@"
    ) > "build/$name-ctest.log" 2>&1
}
names=(x86_64)
suite x86_64 build/x86_64 build/x86_64/wineprefix /usr/lib/wine/wine64 &
suites=($!)
if [ "$can32" = 1 ]; then
    names+=(i686 i686-wow64)
    suite i686 build/i686 build/i686/wineprefix wine -LE wow64 &
    suites+=($!)
    suite i686-wow64 build/i686 build/i686/wow64prefix /usr/lib/wine/wine64 -L wow64 &
    suites+=($!)
fi
for i in "${!names[@]}"; do
    wait "${suites[$i]}" || status=1
    echo "== ${names[$i]} tests"
    cat "build/${names[$i]}-ctest.log"
done
echo "test: every suite done after $SECONDS s"
[ "$can32" = 1 ] || echo "== 32-bit (i686) tests SKIPPED: this machine cannot run 32-bit Wine (see tools/setup.sh)"
qemu=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || echo none)
if [ "$can32" = 1 ] && ! dpkg --compare-versions "$qemu" ge 1:10.0; then
    echo "== NOTE: 32-bit Wine ran under qemu-user $qemu, not 10.0 from the backports suite (see tools/setup.sh)"
fi
exit $status
