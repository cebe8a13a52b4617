#!/usr/bin/env bash
# Seeds the fuzzers' corpora with real files: a PNG, an SVG and a PDF made by lorvane01-render,
# and their recipes as text.
# Usage: tools/fuzz-corpus.sh path/to/lorvane01-render corpus-folder
set -euo pipefail
render=$1
corpus=$2
mkdir -p "$corpus/recipe_reader_fuzzer" "$corpus/recipe_parser_fuzzer"
for format in png svg pdf; do
    if [ ! -e "$corpus/recipe_reader_fuzzer/T20240307090502-3.$format" ]; then
        "$render" --seed 32702.5 --first 3 --at 20240307090502 --format "$format" --out "$corpus/recipe_reader_fuzzer" >/dev/null
    fi
done
printf 'seed=32702.5 picture=3 at=20240307090502' >"$corpus/recipe_parser_fuzzer/plain"
printf '  seed=-3.4028235e+38 picture=10000000 at=99991231235959\r\n' >"$corpus/recipe_parser_fuzzer/edges"
printf 'seed=1e-45 picture=1 at=00010101000000' >"$corpus/recipe_parser_fuzzer/smallest"
