#!/usr/bin/env python3
"""Writes hostile --from files into a folder, to measure what each costs lorvane01-render:

  python3 tools/hostile-files.py /tmp/hostile
  /usr/bin/time -v build/lorvane01-render --from /tmp/hostile/huge-length.png
  /usr/bin/time -v build/lorvane01-render --from /tmp/hostile/long-comment.svg

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
    # Markup that is skipped, 16.7 MB long, before the recipe: a comment, a processing
    # instruction, character data, a text run and an attribute value; then 15 such comments
    # (250 MB). Each piece of the file reaches the XML reader before the markup ends.
    recipe = (b"<metadata><recipe xmlns=\"https://varlenko.art/lorvane01/recipe\">"
              b"seed=1 picture=1 at=20240307090502</recipe></metadata></svg>\n")
    start = b"<svg xmlns=\"http://www.w3.org/2000/svg\">"
    body = b"x" * 16_700_000
    shapes = {
        "long-comment.svg": b"<!--" + body + b"-->",
        "long-instruction.svg": b"<?note " + body + b"?>",
        "long-cdata.svg": b"<g><![CDATA[" + body + b"]]></g>",
        "long-text.svg": b"<g>" + body + b"</g>",
        "long-attribute.svg": b"<g a=\"" + body + b"\"/>",
        "many-comments.svg": (b"<!--" + body + b"-->\n") * 15,
    }
    for name, markup in shapes.items():
        (out / name).write_bytes(start + markup + recipe)
    # About 3 MB and 33 MB: a million and ten million unclosed elements.
    for name, count in (("deep.svg", 1_000_000), ("deeper.svg", 10_000_000)):
        (out / name).write_bytes(start + b"<g>" * count)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "hostile")
