#!/usr/bin/env bash
# Runs the documents' runnable examples: a ```sh block with "<!-- runnable -->" on the line before
# its fence. Each block runs in a fresh folder, with BUILD_DIR's programs first on the PATH, no
# display and a bound on its time. Its lines "$ command" run in order (a line ending in "\" goes
# on to the next); every other line is the output they give, standard error included, exactly.
# Usage: run_examples.sh BUILD_DIR DOCUMENT...
set -euo pipefail
build=$(cd "$1" && pwd)
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Block n's commands go to n.sh, its output to n.expected and where it is to n.where.
awk -v dir="$scratch" '
    marked && !/^```sh$/ { print FILENAME ":" FNR ": a runnable example is a ```sh block"; exit 1 }
    marked { n++; inside = 1; marked = 0; cont = 0
             print FILENAME ":" FNR > (dir "/" n ".where"); printf "" > (dir "/" n ".expected"); next }
    /^<!-- runnable -->$/ { marked = 1; next }
    inside && /^```$/ { inside = 0; next }
    inside && (cont || /^\$ /) { print (cont ? $0 : substr($0, 3)) > (dir "/" n ".sh"); cont = /\\$/; next }
    inside { print > (dir "/" n ".expected") }
' "$@" >&2

failed=0
examples=0
for where in "$scratch"/*.where; do
    [ -e "$where" ] || break
    block=${where%.where}
    examples=$((examples + 1))
    mkdir "$block.run"
    if ! (cd "$block.run" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$block.run" \
            PATH="$build:$PATH" timeout 60 bash -e "$block.sh" >"$block.out" 2>&1); then
        echo "$(cat "$where"): the example failed:" >&2
        cat "$block.out" >&2
        failed=$((failed + 1))
    elif ! diff -u "$block.expected" "$block.out" >&2; then
        echo "$(cat "$where"): the example gives other output than it shows (above)" >&2
        failed=$((failed + 1))
    fi
done
if [ "$examples" -eq 0 ]; then
    echo "no runnable example in $*" >&2
    exit 1
fi
echo "$examples runnable examples, $failed failed"
[ "$failed" -eq 0 ]
