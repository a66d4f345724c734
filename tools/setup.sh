#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine; quick and harmless when run again.
set -euo pipefail

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: run as root (or install the packages listed in tools/setup.sh yourself)" >&2
        exit 1
    fi
}

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools cmake make
          wine wine64 wine32:i386 qemu-user xvfb x11-utils imagemagick
          fonts-ipafont fonts-wine locales googletest zip unzip)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# 32-bit Wine runs through qemu here. Before 10.0 every 32-bit process costs about a minute of
# processor time; Debian 12 ships 7.2 and its backports suite 10.0.
qemu_is_fast() {
    local version
    version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || return 1
    dpkg --compare-versions "$version" ge 1:10.0
}

codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")

# The mirror the machine's own sources name for its release, one-line or deb822 style.
debian_mirror() {
    local files=() f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && files+=("$f")
    done
    [ "${#files[@]}" -gt 0 ] || return 0
    awk -v suite="$codename" '
        FILENAME ~ /\.sources$/ {
            if ($0 ~ /^[ \t]*$/) { uris = ""; suites = ""; next }
            if ($1 == "URIs:") uris = $2
            if ($1 == "Suites:") for (i = 2; i <= NF; i++) if ($i == suite) suites = suite
            if (uris != "" && suites != "") { print uris; exit }
            next
        }
        $1 == "deb" {
            n = 2
            if ($2 ~ /^\[/) while (n <= NF && $n !~ /\]$/) n++
            if ($2 ~ /^\[/) n++
            if ($(n + 1) == suite) { print $n; exit }
        }' "${files[@]}"
}

backports=/etc/apt/sources.list.d/$codename-backports.sources
add_backports() {
    [ -e "$backports" ] && return 0
    local mirror
    mirror=$(debian_mirror)
    if [ -z "$mirror" ]; then
        echo "setup: no Debian mirror for $codename found in the apt sources" >&2
        return 1
    fi
    printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$mirror" "$codename" > "$backports"
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
upgrade_qemu=0
qemu_is_fast || upgrade_qemu=1

if [ "${#missing[@]}" -gt 0 ] || [ "$upgrade_qemu" = 1 ]; then
    need_root
    [ "${#missing[@]}" -eq 0 ] || echo "setup: installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    export DEBIAN_FRONTEND=noninteractive
    [ "$upgrade_qemu" = 0 ] || add_backports || true
    apt-get update -qq || echo "setup: apt-get update reported errors (see above)" >&2
    if [ "${#missing[@]}" -gt 0 ]; then
        install() { apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >/dev/null; }
        # A mirror caught mid-sync can hold an update's amd64 half without its i386 twin, which
        # multi-arch packages refuse; the release's own suite has both.
        install || {
            echo "setup: installing failed (a mirror mid-sync?); trying once more from the release's own suite, $codename"
            install -t "$codename"
        }
    fi
    if [ "$upgrade_qemu" = 1 ]; then
        if apt-get install -y -qq --no-install-recommends -t "$codename-backports" qemu-user >/dev/null \
            && qemu_is_fast; then
            echo "setup: qemu-user $(dpkg-query -W -f='${Version}' qemu-user) from $codename-backports"
        else
            echo "setup: WARNING: qemu-user 10 could not be taken from $codename-backports; going on" \
                 "with qemu-user $(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null)," \
                 "under which every 32-bit process takes about a minute" >&2
        fi
    fi
fi

# Wine picks code page 932 only when the Japanese locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    need_root
    sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi

# Let 32-bit Wine run through qemu where the kernel refuses 32-bit code. With flag F the kernel
# keeps the interpreter it opened at registration, so a registration older than the installed
# qemu is made again. Best effort: without it the 32-bit tests report that they cannot run.
binfmt=/proc/sys/fs/binfmt_misc
if [ "$(id -u)" -eq 0 ] && [ -x /usr/bin/qemu-i386 ]; then
    mountpoint -q $binfmt 2>/dev/null || mount -t binfmt_misc binfmt_misc $binfmt 2>/dev/null || true
    installed_at=/var/lib/dpkg/info/qemu-user.list registered_at=/run/qemu-i386.registered
    if [ -e $binfmt/qemu-i386 ] && [ $installed_at -nt $registered_at ]; then
        echo -1 > $binfmt/qemu-i386 2>/dev/null || true
    fi
    if [ -w $binfmt/register ] && [ ! -e $binfmt/qemu-i386 ]; then
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:OCF' \
            > $binfmt/register 2>/dev/null && touch $registered_at || true
    fi
fi
