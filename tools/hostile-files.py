#!/usr/bin/env python3
"""Writes hostile --from files into a folder, to measure what each costs lorvane01-render:

  python3 tools/hostile-files.py /tmp/hostile
  /usr/bin/time -v build/lorvane01-render --from /tmp/hostile/huge-length.png

Made here rather than kept in the repository, as some are large."""
import struct
import sys
import zlib
from pathlib import Path

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunk(kind, data, length=None):
    size = len(data) if length is None else length
    return struct.pack(">I", size) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(*chunks):
    header = chunk(b"IHDR", struct.pack(">IIBBBBB", 600, 450, 8, 2, 0, 0, 0))
    return SIGNATURE + header + b"".join(chunks) + chunk(b"IEND", b"")


def main(folder):
    out = Path(folder)
    out.mkdir(parents=True, exist_ok=True)
    # 92 bytes: a tEXt chunk whose length says 2^31.
    text = b"lorvane01-recipe\0seed=1 picture=1 at=20240307090502"
    huge = SIGNATURE + chunk(b"IHDR", struct.pack(">IIBBBBB", 600, 450, 8, 2, 0, 0, 0))
    huge += struct.pack(">I", 1 << 31) + b"tEXt" + text
    (out / "huge-length.png").write_bytes(huge)
    # About 288 kB: 2,000 zTXt chunks.
    many = [chunk(b"zTXt", b"Comment\0\0" + zlib.compress(bytes(range(i % 7, 120)))) for i in range(2000)]
    (out / "many-ztxt.png").write_bytes(png(*many))
    # About 1.1 MB: one element with 100,000 attributes.
    attributes = " ".join(f"a{i}=\"x\"" for i in range(100000))
    (out / "many-attributes.svg").write_text(f"<svg xmlns=\"http://www.w3.org/2000/svg\" {attributes}/>\n")
    # A 10 MB recipe of blanks, compressed.
    blanks = b"seed=1 picture=1 at=20240307090502" + b" " * 10_000_000
    (out / "long-recipe.png").write_bytes(png(chunk(b"zTXt", b"lorvane01-recipe\0\0" + zlib.compress(blanks, 9))))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "hostile")
