#!/usr/bin/env bash
# Runs a command as a Qt client of a headless weston of its own (a Wayland compositor with no
# screen), so that the window's tests run natively on Wayland with no display of the machine's.
# Usage: run_under_weston.sh COMMAND [ARGUMENT ...]
set -euo pipefail

# Wayland's sockets live in XDG_RUNTIME_DIR, which must be private to its user: mktemp's is.
runtime=$(mktemp -d)
weston_pid=
cleanup() {
    if [ -n "$weston_pid" ]; then kill "$weston_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT

# The output is as large as the full-screen tests' screen.
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=wayland-test --idle-time=0 \
    --width=1920 --height=1080 >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 300); do
    [ -S "$runtime/wayland-test" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -S "$runtime/wayland-test" ]; then
    echo "weston did not start:" >&2
    cat "$runtime/weston.log" >&2
    exit 1
fi
# No X display to fall back on: the tests run on Wayland or fail.
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland "$@"
