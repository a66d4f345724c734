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
          fonts-ipafont fonts-wine locales googletest)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    need_root
    echo "setup: installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi

# Wine picks code page 932 only when the Japanese locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    need_root
    sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi

# Let 32-bit Wine run through qemu where the kernel refuses 32-bit code. Best effort: without it
# the 32-bit tests report that they cannot run.
if [ "$(id -u)" -eq 0 ] && [ -x /usr/bin/qemu-i386 ]; then
    mountpoint -q /proc/sys/fs/binfmt_misc 2>/dev/null \
        || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || true
    if [ -w /proc/sys/fs/binfmt_misc/register ] && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:OCF' \
            > /proc/sys/fs/binfmt_misc/register 2>/dev/null || true
    fi
fi
