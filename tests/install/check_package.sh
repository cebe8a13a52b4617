#!/usr/bin/env bash
# Makes the Debian package as `make package` does and has lintian check it.
# Usage: check_package.sh BUILD_DIR PACKAGE_FILE
set -euo pipefail

build=$1
package=$2

rm -f "$package"
if ! made=$(cmake --build "$build" --target package 2>&1); then
    printf '%s\n' "$made"
    exit 1
fi
# The libraries come from dpkg-shlibdeps, so Qt is among them.
dpkg-deb --field "$package" Depends | grep -q libqt6widgets6
# PNG files are summed (Adler-32, CRC-32) by libdeflate.
dpkg-deb --field "$package" Depends | grep -qw libdeflate0
# Qt's Wayland plugin is loaded at run time, so it is named by hand.
dpkg-deb --field "$package" Depends | grep -qw qt6-wayland
# The description whole, word for word: CMake once took its ";" for a list separator and dropped it.
expected="generative art, one abstract picture at a time
 lorvane01 opens a window and draws abstract pictures in it: a palette of
 1001 colours from three random waves, a random band of it for the colour
 family, a background and 200 overlapping squares in colours of the band,
 and three captions, and a button for the next picture.
 .
 The picture shown can be copied or saved as a PNG, SVG or PDF file that
 carries its recipe; lorvane01-render draws the same pictures from a seed or
 from such a file, without a display."
if ! diff <(echo "$expected") <(dpkg-deb --field "$package" Description); then
    echo "check_package.sh: the package's description is not the one written" >&2
    exit 1
fi
# xscreensaver reads its modules' files from /usr/share/xscreensaver/config alone.
dpkg-deb --contents "$package" | grep -q ' \./usr/share/xscreensaver/config/lorvane01\.xml$'
if dpkg-deb --contents "$package" | grep -v ' \./usr/'; then
    echo "check_package.sh: files outside /usr" >&2
    exit 1
fi
# The package is not uploaded to Debian, so it has no ITP bug to close; any other warning fails,
# and so does any note that a binary lacks Debian's hardening.
status=0
said=$(lintian --info --fail-on error,warning --suppress-tags initial-upload-closes-no-bugs "$package" 2>&1) || status=$?
printf '%s\n' "$said" | grep -v '^running with root privileges is not recommended!$' || true
if printf '%s\n' "$said" | grep -q 'hardening-'; then
    echo "check_package.sh: lintian notes missing hardening" >&2
    status=1
fi
exit "$status"
