#!/usr/bin/python3
"""Writes the hostile-input corpus into OUTDIR and lists it in OUTDIR/MANIFEST.tsv.

Each manifest line is: name <TAB> bmp <TAB> picture, where "bmp" is what the program's own BMP
reader must do with the file and "picture" what the picture loader (BMP, JPEG, GIF, PNG) must do:
"ok" (decodes), "no" (refused) or "any" (either is sound). The picture loader reads BMP files
with the program's own reader, so its verdict on a BMP follows that reader's; a picture that
decodes only in part (a truncated JPEG, GIF or PNG) is refused, and so is a PNG with a wrong
checksum or without its end chunk. Everything is built from bytes here so
the corpus needs no image library; names with blanks and Chinese characters and a folder named
like a picture are part of it.
"""
import struct
import sys
import zlib
from pathlib import Path


def bmp(width, height, bits=24, pixels=None, compression=0, offset=None, file_size=None,
        image_size=None, colors=0, palette=b""):
    header_size = 14 + 40 + len(palette)
    if pixels is None:
        stride = ((abs(width) * bits + 31) // 32) * 4 if bits > 0 else 4
        pixels = bytes(stride * min(abs(height), 64))
    off = header_size if offset is None else offset
    size = header_size + len(pixels) if file_size is None else file_size
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                       len(pixels) if image_size is None else image_size, 2835, 2835, colors, 0)
    return b"BM" + struct.pack("<IHHI", size & 0xFFFFFFFF, 0, 0, off) + info + palette + pixels


def gray_palette(n):
    return b"".join(bytes((i * 255 // max(n - 1, 1),) * 3) + b"\0" for i in range(n))


def gif(width, height, screen=None, truncate=None):
    sw, sh = screen or (width, height)
    out = b"GIF89a" + struct.pack("<HHBBB", sw, sh, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff"
    out += b"," + struct.pack("<HHHHB", 0, 0, width, height, 0)
    # LZW with minimum code size 2: "clear, index 1" for every pixel keeps the code 3 bits wide.
    count = min(width * height, 64)
    codes = [4, 1] * count + [5]
    value = sum(code << (3 * i) for i, code in enumerate(codes))
    packed = value.to_bytes((3 * len(codes) + 7) // 8, "little")
    blocks = b"".join(bytes([len(packed[i:i + 255])]) + packed[i:i + 255] for i in range(0, len(packed), 255))
    out += b"\x02" + blocks + b"\x00;"
    return out[:truncate] if truncate else out


def jpeg(width, height, max_blocks=None):
    """A baseline greyscale JPEG of one 8x8 block per MCU, all blocks flat grey."""
    def seg(marker, body):
        return b"\xff" + bytes([marker]) + struct.pack(">H", len(body) + 2) + body
    qt = seg(0xDB, b"\x00" + bytes([1] * 64))
    sof = seg(0xC0, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")
    # DC table with one code (length 1) for category 0; AC table with one code for EOB.
    dht = seg(0xC4, b"\x00" + bytes([1] + [0] * 15) + b"\x00")
    dht += seg(0xC4, b"\x10" + bytes([1] + [0] * 15) + b"\x00")
    sos = seg(0xDA, b"\x01\x01\x00\x00\x3f\x00")
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    if max_blocks is not None:
        blocks = min(blocks, max_blocks)  # a scan far shorter than the frame it announces
    bits = "00" * blocks  # DC diff 0, EOB, per block
    bits += "1" * (-len(bits) % 8)
    scan = bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8)).replace(b"\xff", b"\xff\x00")
    return b"\xff\xd8" + qt + sof + dht + sos + scan + b"\xff\xd9"


def png_chunk(kind, body, crc=None):
    crc = zlib.crc32(kind + body) if crc is None else crc
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)


def png(width, height, rows=None, extra=b"", end=True):
    """An 8-bit RGB PNG, every pixel black; rows limits the rows the image data holds."""
    header = png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    raw = (b"\0" + bytes(3 * width)) * (height if rows is None else rows)
    data = png_chunk(b"IDAT", zlib.compress(raw))
    return b"\x89PNG\r\n\x1a\n" + header + extra + data + (png_chunk(b"IEND", b"") if end else b"")


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    rows = []

    def put(name, data, bmp_ok, picture_ok):
        (out / name).write_bytes(data)
        def verdict(ok):
            return "any" if ok is None else "ok" if ok else "no"
        rows.append((name, verdict(bmp_ok), verdict(picture_ok)))

    good = bmp(5, 3, 24, pixels=bytes(range(48)))
    put("good 24-bit.bmp", good, True, True)
    put("图片 带空格.bmp", good, True, True)
    put("empty.bmp", b"", False, False)
    put("empty.jpg", b"", False, False)
    put("empty.gif", b"", False, False)
    put("truncated-header.bmp", good[:30], False, False)
    put("truncated-pixels.bmp", good[:60], False, False)
    put("size-lies-huge.bmp", bmp(5, 3, 24, pixels=bytes(48), file_size=0xFFFFFFF0,
                                 image_size=0x7FFFFFF0), True, True)
    put("offset-past-end.bmp", bmp(5, 3, 24, offset=0x7FFFFFFF), False, False)
    put("offset-into-header.bmp", bmp(5, 3, 24, offset=2), False, False)
    put("negative-width.bmp", bmp(-5, 3, 24), False, False)
    put("zero-width.bmp", bmp(0, 3, 24), False, False)
    put("height-int-min.bmp", bmp(5, -2**31, 24, pixels=bytes(64)), False, False)
    put("giant-60000x60000.bmp", bmp(60000, 60000, 24, pixels=bytes(4096)), False, False)
    put("giant-60000x60000-topdown.bmp", bmp(60000, -60000, 24, pixels=bytes(4096)), False, False)
    put("wide-2e9.bmp", bmp(2_000_000_000, 1, 32, pixels=bytes(4096)), False, False)
    for bits in (0, 2, 7, 64):
        put(f"bitcount-{bits}.bmp", bmp(4, 4, bits, pixels=bytes(64)), False, False)
    put("colors-used-huge.bmp", bmp(4, 4, 8, pixels=bytes(16), colors=0x7FFFFFFF,
                                    palette=gray_palette(256)), True, True)
    # RLE8: a run of 200 pixels in a 4-pixel row, then an absolute run past the end, then delta.
    rle8 = bytes([200, 1, 0, 0, 0, 250]) + bytes(250) + bytes([0, 2, 255, 255, 0, 1])
    put("rle8-run-past-row-end.bmp", bmp(4, 4, 8, pixels=rle8, compression=1,
                                         palette=gray_palette(256), colors=256), False, False)
    rle4 = bytes([255, 0x12, 0, 0, 0, 255]) + bytes(128) + bytes([0, 1])
    put("rle4-run-past-row-end.bmp", bmp(4, 4, 4, pixels=rle4, compression=2,
                                         palette=gray_palette(16), colors=16), False, False)
    put("rle8-no-end.bmp", bmp(4, 4, 8, pixels=bytes([4, 1]), compression=1,
                               palette=gray_palette(256), colors=256), False, False)
    put("rle-on-24-bit.bmp", bmp(4, 4, 24, pixels=bytes([4, 1, 0, 1]), compression=1), False, False)
    put("good.gif", gif(4, 4), False, True)
    put("gif-bomb-65535x65535.gif", gif(4, 4, screen=(65535, 65535)), False, False)
    put("gif-bomb-frame.gif", gif(65535, 65535, screen=(65535, 65535)), False, False)
    put("truncated.gif", gif(4, 4, truncate=20), False, False)
    put("truncated-frame.gif", gif(8, 8, truncate=50), False, False)  # cut inside the picture data
    put("good.jpg", jpeg(16, 8), False, True)
    put("jpeg-65500x65500.jpg", jpeg(65500, 65500, max_blocks=64), False, False)
    put("truncated.jpg", jpeg(16, 8)[:40], False, False)
    put("truncated-scan.jpg", jpeg(64, 64)[:-10], False, False)  # cut inside the scan
    put("text-named.jpg", "这不是图片 — just text\n".encode("utf-8") * 20, False, False)
    put("jpeg-named.bmp", jpeg(16, 8), False, True)
    good_png = png(6, 4)
    put("good.png", good_png, False, True)
    put("png-named.jpg", good_png, False, True)
    put("empty.png", b"", False, False)
    put("truncated-idat.png", good_png[:-20], False, False)  # cut inside the image data
    put("truncated-signature.png", good_png[:6], False, False)
    put("no-iend.png", png(6, 4, end=False), False, False)
    put("no-idat.png", good_png[:33] + png_chunk(b"IEND", b""), False, False)
    bad_crc = bytearray(good_png)
    bad_crc[-13] ^= 0x01  # the last byte of the image data chunk's checksum
    put("bad-crc-idat.png", bytes(bad_crc), False, False)
    put("bad-crc-text.png", png(6, 4, extra=png_chunk(b"tEXt", b"Title\0x", crc=0)), False, False)
    put("short-image-data.png", png(6, 64, rows=3), False, False)  # whole chunks, too few rows
    put("png-bomb-65535x65535.png", png(65535, 65535, rows=1), False, False)
    put("chunk-length-huge.png", good_png[:33] + struct.pack(">I", 0x7FFFFFF0) + b"IDAT" + bytes(16),
        False, False)
    (out / "文件夹.bmp").mkdir(exist_ok=True)
    (out / "文件夹.bmp" / "inside.bmp").write_bytes(good)
    rows.append(("文件夹.bmp", "no", "no"))
    rows.append(("missing file.bmp", "no", "no"))

    with open(out / "MANIFEST.tsv", "w", encoding="utf-8") as manifest:
        for row in rows:
            manifest.write("\t".join(row) + "\n")


if __name__ == "__main__":
    main()
