#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Usage: tools/install-deps.sh [extra-package ...]
set -euo pipefail

packages=(cmake g++ make qt6-base-dev qt6-svg-dev libpng-dev libdeflate-dev libxcb1-dev pkgconf poppler-utils libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core
          # the layout and static checks (make lint)
          clang-format clang-tidy
          # the package (dpkg-shlibdeps) and the checks of what is installed
          dpkg-dev desktop-file-utils appstream lintian groff-base man-db libxml2-utils file
          # the animated GIF frames, checked by a decoder of their own
          python3-pil
          # a batch split into shards (the test that runs them under GNU parallel)
          parallel
          # full screen and the screensaver are tested under Xvfb with a window manager and
          # xscreensaver itself
          xvfb openbox xdotool x11-utils xscreensaver imagemagick faketime
          # the window's tests again on Wayland, under a headless weston
          weston qt6-wayland
          # the window read through the accessibility bus, as a screen reader reads it
          at-spi2-core python3-pyatspi gir1.2-atspi-2.0 dbus
          # the independent decoders the animated files' tests use (webpmux, Pillow)
          webp python3-pil "$@")

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
    echo "lorvane01: please install these packages (or your system's equivalents): ${missing[*]}" >&2
    exit 1
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "lorvane01: run as root or install sudo, to install: ${missing[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi

echo "Installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Another package manager at work (an unattended upgrade, say) is waited for, not failed on.
lock_wait=(-o DPkg::Lock::Timeout=600)
"${sudo[@]}" apt-get "${lock_wait[@]}" update -qq
"${sudo[@]}" apt-get "${lock_wait[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
