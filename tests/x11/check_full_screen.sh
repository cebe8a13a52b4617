#!/usr/bin/env bash
# Full screen under Xvfb with a window manager (openbox grants it, as every desktop's does): F11
# gives the picture played at the largest scale that fits, centred on black, pixel for pixel as
# lorvane01-render --fit draws it; Escape gives the window back as it was.
# Usage: [SCREENSHOT=file.png] check_full_screen.sh PATH/TO/lorvane01 PATH/TO/lorvane01-render
set -euo pipefail
program=$1
render=$2

work=$(mktemp -d)
chmod 700 "$work"
pids=()
cleanup() {
    # The program first, then the window manager and the X server.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# Screenshots into $2 until one is $1, for up to ten seconds; prints how many pixels differ.
screen_until_it_shows() {
    local differing
    for _ in $(seq 20); do
        sleep 0.5
        import -window root "$2"
        differing=$(compare -metric AE "$2" "$1" null: 2>&1 || true)
        [ "$differing" = 0 ] && break
    done
    echo "$differing"
}
# KEEP=folder keeps the screenshots of a failed run.
fail_keeping_screenshots() {
    if [ -n "${KEEP:-}" ]; then cp "$work"/*.png "$KEEP"/; fi
    exit 1
}
unset QT_QPA_PLATFORM QT_SCALE_FACTOR

# Xvfb picks a display number no server holds and writes it once it takes connections.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$work/display")"
export DISPLAY XDG_RUNTIME_DIR=$work
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# The clock stands still at 09:05:02, so the window's seed is 32702 seconds since midnight.
# Under AddressSanitizer the preloaded clock comes before its runtime, which it then allows.
FAKETIME="2024-03-07 09:05:02" LD_PRELOAD=$(find /usr/lib -name libfaketime.so.1 | head -1) \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" "$program" &
pids+=($!)
window=$(timeout 30 xdotool search --sync --name '^Form1$' | head -1)
[ -n "$window" ] || { echo "lorvane01 showed no window in 30 seconds" >&2; exit 1; }
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
# The window as drawn: two screenshots half a second apart that are the same and show a picture
# (hundreds of colours, where a window not yet painted has a few), however slow the build.
import -window root "$work/window-before.png"
for _ in $(seq 40); do
    sleep 0.5
    import -window root "$work/window-settled.png"
    if compare -metric AE "$work/window-before.png" "$work/window-settled.png" null: >/dev/null 2>&1 &&
        [ "$(identify -format %k "$work/window-settled.png")" -gt 100 ]; then
        break
    fi
    mv "$work/window-settled.png" "$work/window-before.png"
done

xdotool windowfocus --sync "$window" key F11
(cd "$work" && QT_QPA_PLATFORM=offscreen "$render" --seed 32702 --at 20240307090502 --fit 1920x1080 >/dev/null)
# What the screen shows once the window manager has given the view the whole screen.
differing=$(screen_until_it_shows "$work/T20240307090502-1-1920x1080.png" "$work/full.png")
echo "full screen against lorvane01-render --fit 1920x1080: $differing pixels differ"
[ "$differing" = 0 ] || fail_keeping_screenshots
if [ -n "${SCREENSHOT:-}" ]; then
    cp "$work/full.png" "$SCREENSHOT"
fi

xdotool key Escape
differing=$(screen_until_it_shows "$work/window-before.png" "$work/window-after.png")
echo "the window before full screen and after Escape: $differing pixels differ"
[ "$differing" = 0 ] || fail_keeping_screenshots
