#!/usr/bin/env bash
# Checks lorvane01 installed into a scratch root as Debian's package installs it (prefix /usr):
# each file where the freedesktop specifications and Debian put it, and each one valid.
# Usage: check_install.sh install|desktop-entry|metainfo|man-pages|icon BUILD_DIR ROOT
set -euo pipefail

step=$1
build=$2
root=$3
id=art.varlenko.lorvane01
share=$root/usr/share

# Runs a checker that says nothing when all is well: any word from it fails the step.
quietly() {
    local said
    if ! said=$("$@" 2>&1) || [ -n "$said" ]; then
        printf '%s\n' "$said"
        return 1
    fi
}

case $step in
install)
    rm -rf "$root"
    DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
    expected="usr/bin/lorvane01
usr/bin/lorvane01-render
usr/share/applications/$id.desktop
usr/share/bash-completion/completions/lorvane01
usr/share/bash-completion/completions/lorvane01-render
usr/share/icons/hicolor/128x128/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/48x48/apps/$id.png
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/man/man1/lorvane01-render.1.gz
usr/share/man/man1/lorvane01.1.gz
usr/share/metainfo/$id.metainfo.xml
usr/share/xscreensaver/config/lorvane01.xml"
    diff <(echo "$expected") <(cd "$root" && find . -type f -printf '%P\n' | LC_ALL=C sort)
    test -x "$root/usr/bin/lorvane01" && test -x "$root/usr/bin/lorvane01-render"
    bash -n "$share/bash-completion/completions/lorvane01-render"
    bash -n "$share/bash-completion/completions/lorvane01"
    xmllint --noout "$share/xscreensaver/config/lorvane01.xml"
    # Under any other prefix too, the xscreensaver file goes where xscreensaver reads it.
    rm -rf "$root-local"
    DESTDIR=$root-local cmake --install "$build" --prefix /usr/local >/dev/null
    test -f "$root-local/usr/share/xscreensaver/config/lorvane01.xml"
    test -f "$root-local/usr/local/bin/lorvane01"
    test ! -e "$root-local/usr/local/share/xscreensaver"
    rm -rf "$root-local"
    ;;
desktop-entry)
    quietly desktop-file-validate "$share/applications/$id.desktop"
    ;;
metainfo)
    # Fails on errors and warnings; it says "Validation was successful" otherwise.
    appstreamcli validate --no-net --no-color "$share/metainfo/$id.metainfo.xml"
    ;;
man-pages)
    for page in lorvane01 lorvane01-render; do
        gzip -dc "$share/man/man1/$page.1.gz" >"$root/$page.1"
        quietly groff -ww -z -man "$root/$page.1"
    done
    ;;
icon)
    svg=$share/icons/hicolor/scalable/apps/$id.svg
    xmllint --noout "$svg"
    test "$(xmllint --xpath 'name(/*)' "$svg")" = svg
    read -r _ _ width height <<<"$(xmllint --xpath 'string(/*/@viewBox)' "$svg")"
    test "$width" = "$height"
    for size in 48 128 256; do
        file -b "$share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "^PNG image data, $size x $size,"
    done
    ;;
*)
    echo "check_install.sh: unknown step '$step'" >&2
    exit 2
    ;;
esac
