#!/usr/bin/env bash
# xscreensaver itself runs `lorvane01 --root` as its module, under an Xvfb of its own and as an
# unprivileged user (xscreensaver runs no module as root): the module draws into the window
# xscreensaver gives it, and ends when the screensaver is deactivated.
# Usage: [SCREENSHOT=file.png] check_xscreensaver.sh PATH/TO/lorvane01
set -euo pipefail
trap 'echo "$0: line $LINENO failed: $BASH_COMMAND" >&2' ERR

# The user's home and everything it runs live in a folder under /tmp that every user can reach:
# the build folder may sit inside one only its owner can enter (a clone in root's home or in
# `mktemp -d`), and a temporary folder named by TMPDIR may be private too.
home=$(mktemp -d /tmp/lorvane01-xscreensaver.XXXXXX)
chmod 755 "$home"
mkdir -m 700 "$home/runtime"
mkdir -m 755 "$home/bin"
install -m 755 "$1" "$home/bin/lorvane01"
program=$home/bin/lorvane01
# A sanitizer build reads its suppressions when the module ends: give the user its own copy.
if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
    install -m 644 "${BASH_REMATCH[1]}" "$home/bin/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/suppressions=${BASH_REMATCH[1]}/suppressions=$home/bin/lsan.supp}
fi
as_user=()
user=$(id -un)
if [ "$(id -u)" = 0 ]; then
    user=nobody
    chown "$user" "$home" "$home/runtime"
    as_user=(runuser -u "$user" --)
fi
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT

# Xvfb picks a display number no server holds and writes it once it takes connections.
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$home/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$home/display" ] && break; sleep 0.1; done
display=":$(cat "$home/display")"

cat >"$home/.xscreensaver" <<SETTINGS
mode: one
selected: 0
splash: False
lock: False
fade: False
unfade: False
programs: "lorvane01" $program --root --interval 1 \\n
SETTINGS
chmod 644 "$home/.xscreensaver"
# The module finds its display as a desktop session's programs do, whatever the test's platform.
user_env=(env -u QT_QPA_PLATFORM -u QT_SCALE_FACTOR DISPLAY="$display" HOME="$home" XDG_RUNTIME_DIR="$home/runtime"
          PATH="$PATH")
# Starts the daemon and waits until it answers; on a machine busy with other tests that can take
# a while. Now and then xscreensaver itself exits at once, with status 1 and nothing said (one
# start in 150 here, two in 50 on a busy machine, before lorvane01 is involved): it is tried again.
start_daemon() {
    "${as_user[@]}" "${user_env[@]}" xscreensaver -no-splash >"$home/xscreensaver.log" 2>&1 &
    daemon=$!
    pids+=("$daemon")
    for _ in $(seq 300); do
        "${as_user[@]}" "${user_env[@]}" xscreensaver-command -version >/dev/null 2>&1 && return 0
        kill -0 "$daemon" 2>/dev/null || break
        sleep 0.1
    done
    kill "$daemon" 2>/dev/null || true
    status=0
    wait "$daemon" || status=$?
    echo "xscreensaver did not answer (status $status):" >&2
    cat "$home/xscreensaver.log" >&2
    return 1
}
start_daemon || start_daemon || start_daemon || exit 1
"${as_user[@]}" "${user_env[@]}" xscreensaver-command -activate >/dev/null

module() { pgrep -f -- "^$program --root --interval 1" || true; }
for _ in $(seq 100); do [ -n "$(module)" ] && break; sleep 0.1; done
if [ -z "$(module)" ]; then
    echo "xscreensaver did not start lorvane01:" >&2
    cat "$home/xscreensaver.log" >&2
    exit 1
fi
# The module runs as the user, and what the screen shows is a picture, not a blank.
module_user=$(ps -o user= -p "$(module)" || true)
if [ "$module_user" != "$user" ]; then
    echo "the module runs as '$module_user', not $user" >&2
    exit 1
fi
# Its first picture comes once it has started, which a busy machine or a sanitizer slows down.
colours=0
for _ in $(seq 300); do
    colours=$(import -display "$display" -window root -format '%k' info:)
    [ "$colours" -gt 10 ] && break
    [ -n "$(module)" ] || break
    sleep 0.1
done
echo "colours on the screen: $colours"
[ "$colours" -gt 10 ]
if [ -n "${SCREENSHOT:-}" ]; then
    import -display "$display" -window root "$SCREENSHOT"
fi

"${as_user[@]}" "${user_env[@]}" xscreensaver-command -deactivate >/dev/null
for _ in $(seq 100); do [ -z "$(module)" ] && break; sleep 0.1; done
[ -z "$(module)" ]
echo "lorvane01 ran as xscreensaver's module and ended with it"
