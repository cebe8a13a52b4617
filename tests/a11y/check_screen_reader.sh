#!/usr/bin/env bash
# The window as a screen reader reads it, through the real accessibility bus: Xvfb with a window
# manager, a D-Bus session with the AT-SPI bus, lorvane01 at a pinned wall clock (so its first
# picture is T20240307090502, picture 1 of seed 32702), and probe.py, which finds the controls by
# role and name, presses "next", goes Back and reads the picture's menu. Everything started here
# ends with it.
# Usage: check_screen_reader.sh PATH/TO/lorvane01
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# What this script started, ended last first; the scratch folder, if any, removed.
pids=()
work=
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    if [ -n "$work" ]; then rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

if [ "${1:-}" = --in-session ]; then
    # Inside dbus-run-session, which ends its bus but not what was started on it.
    program=$2
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    pids+=($!)
    # The wall clock stands at 09:05:02 (seed 32702); the monotonic clock runs, for Qt's timers.
    FAKETIME="2024-03-07 09:05:02" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        LD_PRELOAD=$(find /usr/lib -name libfaketime.so.1 | head -1) \
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
    pids+=($!)
    /usr/bin/python3 "$here/probe.py" "T20240307090502, picture 1 of seed 32702" \
        "T20240307090502, picture 2 of seed 32702"
    exit
fi

program=$(realpath "$1")
work=$(mktemp -d)
chmod 700 "$work"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

# Xvfb picks a display number no server holds and writes it once it takes connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(cat "$work/display")"
export DISPLAY XDG_RUNTIME_DIR=$work HOME=$work
# A window manager gives the window the keyboard, as a desktop does.
openbox >/dev/null 2>&1 &
pids+=($!)

# The whole session, bounded.
timeout --kill-after=5 90 dbus-run-session -- "$0" --in-session "$program" &
pids+=($!)
wait "${pids[-1]}"
