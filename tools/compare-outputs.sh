#!/usr/bin/env bash
# Compares what two builds of lorvane01-render write for the same recipes: 40 PNG (scales 1, 2
# and 3, and --fit), 10 SVG and 10 PDF files. SVG and PDF files must be the same byte for byte; a
# PNG must have the same chunks in the same order, its texts the same once inflated and its pixels
# the same as Pillow decodes them (its filters and DEFLATE stream may differ). Files are paired in
# order, so a change of naming alone is counted apart. Before a change that must not change any
# file, and after it:
#
#     tools/compare-outputs.sh OLD/lorvane01-render build/lorvane01-render
set -euo pipefail
old=${1:?usage: compare-outputs.sh OLD_RENDER NEW_RENDER}
new=${2:?usage: compare-outputs.sh OLD_RENDER NEW_RENDER}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen

render() {  # NAME ARGUMENTS...
    local name=$1
    shift
    for build in old new; do
        local program=$old
        [[ $build == new ]] && program=$new
        mkdir -p "$scratch/$build/$name"
        "$program" --at 20240307090502 --out "$scratch/$build/$name" "$@" >/dev/null
    done
}

render png1 --seed 1 --pictures 20
render png2 --seed 32702.5 --first 9999 --pictures 10 --scale 2
render png3 --seed -4.25e7 --pictures 5 --scale 3
render fit --seed 7 --pictures 5 --fit 1920x1080
render svg --seed 86399.99 --pictures 10 --format svg
render pdf --seed 0 --first 123456 --pictures 10 --format pdf

/usr/bin/python3 - "$scratch/old" "$scratch/new" <<'PY'
import os, struct, sys, zlib
from PIL import Image

def chunks(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', path
    at, found, image = 8, [], b''
    while at < len(data):
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b'zTXt':
            keyword, _, rest = body.partition(b'\0')
            body = keyword + b'\0' + zlib.decompress(rest[1:])
        elif kind == b'iTXt' and body.split(b'\0', 1)[1][:1] == b'\1':
            keyword, rest = body.split(b'\0', 1)
            language, translated, text = rest[2:].split(b'\0', 2)
            body = b'\0'.join([keyword, language, translated, zlib.decompress(text)])
        if kind != b'IDAT' or not found or found[-1][0] != b'IDAT':
            found.append((kind, body if kind != b'IDAT' else b''))
        at += 12 + length
    with Image.open(path) as picture:
        return found, picture.mode, picture.size, picture.tobytes()

old, new = sys.argv[1:]
# Paired in order within each case: a change of naming is reported, not taken as a different file.
pairs, renamed = [], 0
for case in sorted(os.listdir(old)):
    was, now = sorted(os.listdir(os.path.join(old, case))), sorted(os.listdir(os.path.join(new, case)))
    if len(was) != len(now):
        sys.exit(f'{case}: the two builds wrote {len(was)} and {len(now)} files')
    renamed += sum(a != b for a, b in zip(was, now))
    pairs += [(os.path.join(old, case, a), os.path.join(new, case, b)) for a, b in zip(was, now)]
same = lambda a, b: chunks(a) == chunks(b) if a.endswith('.png') else open(a, 'rb').read() == open(b, 'rb').read()
differ = [b for a, b in pairs if not same(a, b)]
kinds = {}
for _, b in pairs:
    kinds[b.rsplit('.', 1)[1]] = kinds.get(b.rsplit('.', 1)[1], 0) + 1
print('compared', ', '.join(f'{n} {k.upper()}' for k, n in sorted(kinds.items())), f'({renamed} named differently):',
      len(differ), 'differ')
for f in differ:
    print('  differs:', os.path.relpath(f, new))
sys.exit(1 if differ else 0)
PY
