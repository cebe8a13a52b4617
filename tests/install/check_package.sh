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
# Qt's Wayland plugin is loaded at run time, so it is named by hand.
dpkg-deb --field "$package" Depends | grep -qw qt6-wayland
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
