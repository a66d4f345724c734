#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine. With everything in place it
# changes nothing and needs neither root nor the network.
# usage: tools/setup.sh [--upgrade-qemu] [--fast-32bit]
#   --upgrade-qemu  take qemu-user 10 from the release's backports suite (as root) where the
#                   release's own is older, which set-up otherwise does only while it installs
#                   missing packages
#   --fast-32bit    fail, instead of warning, where 32-bit programs start through a qemu older
#                   than 10.0 (the tests cannot pass within their limits there)
# Every test of a command's output reads the whole output first: under pipefail a `| grep -q`
# is false whenever the writer is still writing when grep leaves.
set -euo pipefail
. "$(dirname "$0")/wine-loaders"

upgrade=0 fast=0
for option in "$@"; do
    case "$option" in
        --upgrade-qemu) upgrade=1 ;;
        --fast-32bit) fast=1 ;;
        *) echo "usage: tools/setup.sh [--upgrade-qemu] [--fast-32bit]" >&2; exit 2 ;;
    esac
done
tools=$(dirname "$0")

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools cmake make
          wine wine64 wine32:i386 qemu-user xvfb xauth x11-utils imagemagick
          fonts-ipafont fonts-wine locales googletest zip unzip)
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
backports=/etc/apt/sources.list.d/$codename-backports.sources

warn() { echo "setup: WARNING: $*" >&2; }
need_root() {
    [ "$(id -u)" = 0 ] && return 0
    echo "setup: $1 needs root: run tools/setup.sh as root (or do it yourself)" >&2
    exit 1
}
installed() { [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = 'install ok installed' ]; }
# 32-bit Wine runs through qemu here. Before 10.0 every 32-bit process costs about a minute of
# processor time; Debian 12 ships 7.2 and its backports suite 10.0, Debian 13 ships 10.0.
qemu_version() { dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true; }
fast_qemu_version() { dpkg --compare-versions "$1" ge 1:10.0 2>/dev/null; }
qemu_is_fast() { fast_qemu_version "$(qemu_version)"; }
# the version apt would install from the release's own suites (a backports suite is never chosen
# on its own), read whole before it is searched
release_qemu() {
    local policy
    policy=$(apt-cache policy qemu-user 2>/dev/null) || return 0
    sed -n 's/^ *Candidate: //p' <<<"$policy"
}
apt_install() { apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
# an old qemu-user is replaced along with what is missing, or when asked, never on its own
if installed qemu-user && ! qemu_is_fast && { [ "${#missing[@]}" -gt 0 ] || [ $upgrade = 1 ]; }; then
    missing+=(qemu-user)
fi

if [ "${#missing[@]}" -gt 0 ]; then
    need_root "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    grep -qx i386 <<<"$(dpkg --print-foreign-architectures)" || dpkg --add-architecture i386
    apt-get update -qq || warn "apt-get update reported errors (see above); going on"
    if ! qemu_is_fast && ! fast_qemu_version "$(release_qemu)"; then
        # The release's own qemu-user is older than 10.0 (Debian 12's): qemu-user 10 from the
        # backports suite on the mirror the machine's sources already name; a source for it is
        # kept only when the suite answers. Debian 13's own is 10.0, taken as it is.
        mirror=$(apt-get indextargets --format '$(REPO_URI)' "Release: $codename" | sed -n 1p)
        wrote=0
        if [ ! -e "$backports" ] && [ -n "$mirror" ]; then
            wrote=1
            printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                "$mirror" "$codename" > "$backports"
            apt-get update -qq -o Dir::Etc::SourceList="$backports" -o Dir::Etc::SourceParts=- \
                -o APT::Get::List-Cleanup=0 || true
        fi
        if "$tools/qemu-in-backports" "$codename"; then
            missing=("${missing[@]/#qemu-user/qemu-user/$codename-backports}")
        else
            [ "$wrote" = 0 ] || rm "$backports"
            warn "$codename-backports did not answer on the mirror the sources name (${mirror:-none}); no source for it is kept"
        fi
    fi
    echo "setup: installing ${missing[*]}"
    # A mirror caught mid-sync can hold an update's amd64 half without its i386 twin, which
    # multi-arch packages refuse; the release's own suite has both.
    apt_install "${missing[@]}" || {
        echo "setup: installing failed (see above), as it does while a mirror is mid-sync; trying once more, preferring $codename's own suite"
        apt_install -t "$codename" "${missing[@]}"
    }
fi

# Wine picks code page 932 only when the Japanese locale exists.
if ! grep -qi '^ja_JP\.utf-\?8$' <<<"$(locale -a 2>/dev/null)"; then
    need_root "making the Japanese locale"
    sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi

# 32-bit Wine starts through qemu where the kernel refuses 32-bit code. A registration is usable
# when Wine's 32-bit loader starts, and through the installed qemu: with flag F the kernel keeps
# the qemu it opened at registration, which an upgrade leaves behind. QEMU_VERSION makes qemu say
# its version instead of running the program.
usable_32bit() {
    local got
    got=$(QEMU_VERSION=1 "$WINE32" --version 2>/dev/null | sed -n 1p) || return 1
    case "$got" in
        qemu-*) [ "$got" = "$(/usr/bin/qemu-i386 --version 2>/dev/null | sed -n 1p)" ] ;;
        *) return 0 ;; # the kernel runs it itself
    esac
}
binfmt=/proc/sys/fs/binfmt_misc
if ! usable_32bit && [ -x /usr/bin/qemu-i386 ]; then
    if [ "$(id -u)" = 0 ]; then
        mountpoint -q $binfmt || mount -t binfmt_misc binfmt_misc $binfmt || true
        if [ -e $binfmt/qemu-i386 ]; then echo -1 > $binfmt/qemu-i386 || true; fi
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:OCF' \
            > $binfmt/register 2>/dev/null || true
        usable_32bit && echo "setup: registered /usr/bin/qemu-i386 for 32-bit programs"
    fi
    usable_32bit || warn "32-bit programs cannot start through /usr/bin/qemu-i386; as root, tools/setup.sh registers it"
fi

# The emulator that really starts 32-bit programs is the registered one, which may be older than
# the package (see above). Before 10.0 each 32-bit process takes about a minute of processor time.
started=$(QEMU_VERSION=1 "$WINE32" --version 2>/dev/null | sed -n 1p) || started=
case "$started" in
    qemu-*" version "*)
        version=${started#* version }
        version=${version%% *}
        if dpkg --compare-versions "$version" lt 10.0; then
            if [ $fast = 1 ]; then
                echo "setup: 32-bit programs start through qemu $version, older than 10.0, and take about a minute each," \
                    "too slow for the tests: as root, run tools/setup.sh --upgrade-qemu (qemu-user 10 from $codename-backports)" >&2
                exit 1
            fi
            warn "32-bit programs start through qemu $version, older than 10.0: each takes about a minute to start." \
                "As root, tools/setup.sh --upgrade-qemu takes qemu-user 10 from $codename-backports."
        fi
        ;;
esac
