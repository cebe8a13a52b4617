#!/usr/bin/env python3
"""Decodes an animated GIF with Pillow, a decoder of its own, and prints what a viewer shows:
"loop=N frames=N", then for each frame its duration in milliseconds and the SHA-1 of its RGB
pixels, row after row, three bytes a pixel."""

import hashlib
import sys

from PIL import Image, ImageSequence


def main() -> int:
    with Image.open(sys.argv[1]) as gif:
        lines = []
        for frame in ImageSequence.Iterator(gif):
            pixels = frame.convert("RGB").tobytes()
            lines.append(f"{frame.info.get('duration', -1)} {hashlib.sha1(pixels).hexdigest()}")
        print(f"loop={gif.info.get('loop', -1)} frames={len(lines)}")
        print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
