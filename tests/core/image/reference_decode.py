#!/usr/bin/python3
"""Decodes a picture with an independent decoder for the image buffer tests.

usage: reference_decode.py IN OUT_PREFIX [magick-first]

Writes OUT_PREFIX.ppm (binary RGB, top row first) and OUT_PREFIX.txt: a first line
"MODE WIDTH HEIGHT DECODER", then, for paletted pictures, one line per palette entry "R G B".
Pillow is tried first and ImageMagick's convert reads what Pillow refuses; with "magick-first"
ImageMagick goes first (Pillow 9 misreads some RLE4 files).
Exit code 0 on success, 1 when no decoder reads the file.
"""
import subprocess
import sys


def with_pillow(src, prefix):
    try:
        from PIL import Image
        with Image.open(src) as im:
            im.load()
            mode = im.mode
            palette = []
            if mode == "P":
                raw = im.getpalette() or []
                palette = [raw[i:i + 3] for i in range(0, len(raw), 3)]
            rgb = im.convert("RGB")
            w, h = rgb.size
            with open(prefix + ".ppm", "wb") as out:
                out.write(b"P6\n%d %d\n255\n" % (w, h))
                out.write(rgb.tobytes())
            with open(prefix + ".txt", "w") as out:
                out.write("%s %d %d pillow\n" % (mode, w, h))
                for entry in palette:
                    out.write("%d %d %d\n" % tuple(entry))
        return True
    except Exception:
        return False


def with_magick(src, prefix):
    try:
        subprocess.run(["convert", src, "-depth", "8", "ppm:" + prefix + ".ppm"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(prefix + ".ppm", "rb") as f:
            header = f.read(64).split()
        with open(prefix + ".txt", "w") as out:
            out.write("RGB %s %s imagemagick\n" % (header[1].decode(), header[2].decode()))
        return True
    except Exception:
        return False


def main():
    src, prefix = sys.argv[1], sys.argv[2]
    order = [with_pillow, with_magick]
    if len(sys.argv) > 3 and sys.argv[3] == "magick-first":
        order.reverse()
    for decoder in order:
        if decoder(src, prefix):
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
