# shellcheck shell=bash disable=SC2034  # display is for the script that sources this
# Sourced by the X11 checks: sets `display` to a display number no server holds (no lock file,
# no socket), from well above the usual ones. The tests that use one run one at a time.
for number in $(seq 91 199); do
    if [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ]; then
        display=:$number
        break
    fi
done
