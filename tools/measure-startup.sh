#!/usr/bin/env bash
# Measures the program under a virtual X server (Xvfb), with public tools only:
#   1. start-up: from launching build/lorvane01 to its window being mapped, as the X server
#      reports it (xev); median and worst of several runs. The first picture is composed in the
#      same call that shows the window, and a look at the drawing area (xwininfo, and import
#      where ImageMagick is installed) confirms that it is there;
#   2. peak resident memory of the program (/usr/bin/time -v) over a session of 100 pictures;
#   3. growth of resident memory over 10,000 pictures (build/lorvane_soak presses "next" in the
#      real window and reads /proc/self/status).
# Usage: tools/measure-startup.sh [runs]      (after `make build`; 10 runs if not given)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-10}
build=build
program=$build/lorvane01
soak=$build/lorvane_soak
pictures=10000
# Goals.
startup_limit_ms=150
peak_limit_kb=$((45 * 1024))
growth_limit_kb=1024
# "next" and "exit", the centres of Command1 and Command2 in the window.
next_x=512
next_y=572
exit_x=584
exit_y=572

tools/install-deps.sh xvfb xdotool x11-utils time
for file in "$program" "$soak"; do
    [ -x "$file" ] || { echo "measure-startup: $file is missing; run 'make build' first" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
xev_pid=""
program_pid=""
cleanup() {
    for pid in "$program_pid" "$xev_pid" "$xvfb_pid"; do
        if [ -n "$pid" ]; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display_number=90
while [ -e "/tmp/.X${display_number}-lock" ] || [ -e "/tmp/.X11-unix/X${display_number}" ]; do
    display_number=$((display_number + 1))
done
export DISPLAY=:$display_number
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.05
done
xdpyinfo >/dev/null 2>&1 || { echo "measure-startup: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export XDG_RUNTIME_DIR=$work

milliseconds() { awk -v from="$1" -v to="$2" 'BEGIN { printf "%.1f", (to - from) * 1000 }'; }

# Waits for the next top-level window to be mapped, as xev reports it on file descriptor 3;
# prints the time it saw the report.
wait_for_map() {
    local line
    while IFS= read -r -t 10 line <&3; do
        if [[ $line == MapNotify* ]]; then
            echo "$EPOCHREALTIME"
            return 0
        fi
    done
    echo "measure-startup: the window was not mapped within 10 s" >&2
    return 1
}

form1_window() { xdotool search --onlyvisible --name '^Form1$' | head -n 1; }

# 1. Start-up.
mkfifo "$work/events"
startups=()
for run in $(seq "$runs"); do
    stdbuf -oL xev -root -event substructure >"$work/events" &
    xev_pid=$!
    exec 3<"$work/events"
    # xev selects the events once it is connected; it prints nothing until one comes.
    sleep 0.2
    started=$EPOCHREALTIME
    "$program" 2>"$work/program.log" &
    program_pid=$!
    mapped=$(wait_for_map)
    startups+=("$(milliseconds "$started" "$mapped")")
    if [ "$run" -eq 1 ]; then
        sleep 0.3
        window=$(form1_window)
        xwininfo -id "$window" | grep -q "IsViewable" || { echo "measure-startup: Form1 is not viewable" >&2; exit 1; }
        picture_check="not checked (ImageMagick's import is not installed)"
        if command -v import >/dev/null 2>&1; then
            # The middle of the drawing area shows a colour of the picture, not the black window.
            pixel=$(import -window "$window" -crop 1x1+332+305 txt:- 2>/dev/null | tail -n 1)
            if [[ $pixel == *"#000000"* ]]; then
                picture_check="FAILED: the drawing area is black ($pixel)"
            else
                picture_check="shown (${pixel##* })"
            fi
        fi
    fi
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
    kill "$xev_pid"
    wait "$xev_pid" 2>/dev/null || true
    xev_pid=""
    exec 3<&-
done
sorted=$(printf '%s\n' "${startups[@]}" | sort -n)
startup_median=$(echo "$sorted" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
startup_worst=$(echo "$sorted" | tail -n 1)

# 2. Peak resident memory over a session: start, 100 pictures, "exit".
/usr/bin/time -v -o "$work/time.log" "$program" 2>"$work/program.log" &
program_pid=$!
window=""
for _ in $(seq 200); do
    window=$(form1_window || true)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "measure-startup: no window for the memory run" >&2; exit 1; }
sleep 0.3
xdotool mousemove --window "$window" "$next_x" "$next_y" click --repeat 100 --delay 10 1
sleep 0.5
xdotool mousemove --window "$window" "$exit_x" "$exit_y" click 1
wait "$program_pid"
program_pid=""
peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.log")

# 3. Growth over 10,000 pictures in the real window.
soak_line=$("$soak" "$pictures" 2>"$work/soak.log")
growth_kb=$(echo "$soak_line" | sed -n 's/.*growth_kb=\(-\{0,1\}[0-9]*\).*/\1/p')

verdict() { if [ "$1" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
startup_met=$(awk -v v="$startup_median" -v l="$startup_limit_ms" 'BEGIN { print (v <= l) }')
echo "Start-up to the window mapped, $runs runs: ${startups[*]} ms"
echo "  median $startup_median ms, worst $startup_worst ms; goal <= $startup_limit_ms ms: $(verdict "$startup_met")"
echo "  first picture in the drawing area: $picture_check"
echo "Peak resident memory, start + 100 pictures + exit: $peak_kb kB ($(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }') MiB)"
echo "  goal <= $((peak_limit_kb / 1024)) MiB: $(verdict "$((peak_kb <= peak_limit_kb))")"
echo "Resident memory over $pictures pictures: $soak_line"
echo "  goal growth < $growth_limit_kb kB: $(verdict "$((growth_kb < growth_limit_kb))")"
