#!/usr/bin/env bash
# A seed's sequence split into 4 shards run by GNU parallel gives exactly the files of one run.
# Usage: sharded_batch_test.sh LORVANE01_RENDER
set -euo pipefail
render=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/whole" "$work/shards"
common=(--seed 4242.5 --at 20261208054638 --scale 2 --jobs 1)
"$render" "${common[@]}" --pictures 20 --out "$work/whole" >/dev/null
parallel --will-cite --jobs 4 "$render" "${common[@]}" --first {} --pictures 5 --out "$work/shards" ::: 1 6 11 16 >/dev/null
diff -r "$work/whole" "$work/shards"
[ "$(ls "$work/shards" | wc -l)" -eq 20 ]
echo "20 files, the same in 4 shards as in one run"
