#!/usr/bin/env bash
# Sets the machine up, builds the 32-bit and 64-bit programs and runs every test under Wine, one
# ctest run a build, side by side. The 32-bit build is tested in a 32-bit prefix and, side by side,
# as a 32-bit program in a 64-bit one (tests named wow64_...). A machine that cannot run 32-bit
# Wine skips the 32-bit build with a message, unless REQUIRE_32BIT=1.
set -euo pipefail
. "$(dirname "$0")/wine-loaders"
cd "$(dirname "$0")/.."
mkdir -p build
# Set-up stops the run here where 32-bit programs would start through a qemu older than 10.0:
# at a minute a process, the 32-bit tests could not pass within their limits.
tools/setup.sh --fast-32bit 2>&1 | tee build/setup.log

builds=(x86_64)
if "$WINE32" --version >/dev/null 2>&1; then
    builds=(i686 x86_64) # the 32-bit run is the longest: it starts first
elif [ "${REQUIRE_32BIT:-0}" = 1 ]; then
    echo "test: 32-bit Wine cannot run on this machine, and REQUIRE_32BIT=1" >&2
    exit 1
fi

# Each build's tests run in one ctest run as soon as it is built, side by side with the rest, with
# its own ctest state. Its tests set up their Wine prefixes, each with a virtual display of its
# own (tools/wine-session), take each prefix one at a time and have time limits of their own; an
# hour ends a run that hangs all the same. The runs end with this script, however it ends:
# timeout passes a signal on to its run's whole process group, and every prefix's session ends.
runs=()
cleanup() {
    [ "${#runs[@]}" = 0 ] || kill "${runs[@]}" 2>/dev/null || true
    wait
    for prefix in build/*/wineprefix build/*/wow64prefix; do
        [ ! -d "$prefix" ] || tools/wine-session "$PWD/$prefix" - end
    done
}
trap cleanup EXIT
trap 'exit 129' HUP; trap 'exit 130' INT; trap 'exit 143' TERM
for arch in "${builds[@]}"; do
    tools/configure "$arch" -DBUILD_BENCHMARKS=ON
    cmake --build "build/$arch" -j2
    echo "test: $arch built after $SECONDS s"
    timeout -k 10 3600 env -u DISPLAY \
        ctest --test-dir "build/$arch" -j3 --output-on-failure > "build/$arch-ctest.log" 2>&1 &
    runs+=($!)
done
status=0
for i in "${!builds[@]}"; do
    wait "${runs[$i]}" || status=1
    echo "== ${builds[$i]} tests"
    cat "build/${builds[$i]}-ctest.log"
done
runs=()
echo "test: every test done after $SECONDS s"
[ "${#builds[@]}" = 2 ] || echo "== 32-bit (i686) tests SKIPPED: this machine cannot run 32-bit Wine (see tools/setup.sh)"
grep -h WARNING build/setup.log || true # set-up's warnings again, where they are seen
exit $status
