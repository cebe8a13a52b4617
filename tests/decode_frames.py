#!/usr/bin/python3
"""Decodes an animated WebP, PNG or GIF with Pillow, a decoder of its own, frame by frame.

Prints "frames <count> loop <loop count>"; for a PNG whose image is kept out of the animation,
"still <hash>" for that image, which viewers without animation show; then one line for each
frame as a viewer shows it (the whole canvas, after the frames before it): its duration in
milliseconds and its hash. A hash is the SHA-256 of the pixels as 8-bit RGB, row after row.
Usage: decode_frames.py FILE
"""
import hashlib
import sys

from PIL import Image, ImageSequence


def digest(frame: Image.Image) -> str:
    return hashlib.sha256(frame.convert("RGB").tobytes()).hexdigest()


def main() -> int:
    with Image.open(sys.argv[1]) as image:
        kept_out = bool(image.info.get("default_image"))
        count = getattr(image, "n_frames", 1) - (1 if kept_out else 0)
        print("frames", count, "loop", image.info.get("loop"))
        for index, frame in enumerate(ImageSequence.Iterator(image)):
            # Loaded first: the frame's duration is read with its pixels.
            pixels = digest(frame)
            if kept_out and index == 0:
                print("still", pixels)
            else:
                print(round(frame.info.get("duration", 0)), pixels)
    return 0


if __name__ == "__main__":
    sys.exit(main())
