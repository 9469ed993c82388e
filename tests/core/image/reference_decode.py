#!/usr/bin/python3
"""Decodes a picture with an independent decoder for the image buffer tests.

usage: reference_decode.py IN OUT_PREFIX

Writes OUT_PREFIX.ppm (binary RGB, top row first) and OUT_PREFIX.txt: a first line
"MODE WIDTH HEIGHT DECODER", then, for paletted pictures, one line per palette entry "R G B".
Pillow is tried first; ImageMagick's convert reads what Pillow refuses.
Exit code 0 on success, 1 when no decoder reads the file.
"""
import subprocess
import sys


def main():
    src, prefix = sys.argv[1], sys.argv[2]
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
        return 0
    except Exception:
        pass
    try:
        subprocess.run(["convert", src, "-depth", "8", "ppm:" + prefix + ".ppm"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(prefix + ".ppm", "rb") as f:
            header = f.read(64).split()
        with open(prefix + ".txt", "w") as out:
            out.write("RGB %s %s imagemagick\n" % (header[1].decode(), header[2].decode()))
        return 0
    except Exception:
        return 1


if __name__ == "__main__":
    sys.exit(main())
