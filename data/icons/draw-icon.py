#!/usr/bin/env python3
"""Draws the program's icon: a red heart of cross stitches on a piece of Aida cloth, with the
thin stitch grid and the thick block lines of a chart. Writes kanvo.svg beside this script and,
with rsvg-convert (librsvg2-bin), the PNG sizes of the hicolor theme below hicolor/.

    python3 data/icons/draw-icon.py
"""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
APP_ID = "io.github.kanvo.Kanvo"
SIZES = [16, 22, 24, 32, 48, 64, 128, 256]

HEART = [
    "..XX....XX..",
    ".XXXX..XXXX.",
    "XXXXXXXXXXXX",
    "XXXXXXXXXXXX",
    "XXXXXXXXXXXX",
    ".XXXXXXXXXX.",
    "..XXXXXXXX..",
    "...XXXXXX...",
    "....XXXX....",
    ".....XX.....",
]
CELLS = 14          # grid cells across and down
CELL = 16           # pixels per cell in the 256 x 256 drawing
ORIGIN = (256 - CELLS * CELL) // 2
BLOCK = 7           # a thick line every BLOCK cells, as the chart draws them
LEFT, TOP = 1, 2    # the heart's first cell


def stitch(col, row, colour):
    x, y = ORIGIN + col * CELL, ORIGIN + row * CELL
    a, b = 3, CELL - 3
    return (f'<path d="M{x + a} {y + a}L{x + b} {y + b}M{x + b} {y + a}L{x + a} {y + b}" '
            f'stroke="{colour}"/>')


def svg():
    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
        '<defs><clipPath id="cloth"><rect x="8" y="8" width="240" height="240" rx="34"/></clipPath></defs>',
        '<rect x="6" y="6" width="244" height="244" rx="36" fill="#f6efdc" stroke="#b59a68" stroke-width="4"/>',
        '<g clip-path="url(#cloth)">',
    ]
    end = ORIGIN + CELLS * CELL
    thin = []
    thick = []
    for i in range(CELLS + 1):
        p = ORIGIN + i * CELL
        line = f"M{p} {ORIGIN}V{end}M{ORIGIN} {p}H{end}"
        (thick if i % BLOCK == 0 else thin).append(line)
    parts.append(f'<path d="{"".join(thin)}" stroke="#d3c39c" stroke-width="1.5" fill="none"/>')
    parts.append(f'<path d="{"".join(thick)}" stroke="#9c8456" stroke-width="3" fill="none"/>')
    parts.append("</g>")
    parts.append('<g stroke-width="4.5" stroke-linecap="round" fill="none">')
    for r, line in enumerate(HEART):
        for c, mark in enumerate(line):
            if mark != "X":
                continue
            # The upper left of each lobe catches the light.
            light = (r in (1, 2) and c in (1, 2, 8, 9)) or (r == 3 and c in (1, 8))
            parts.append(stitch(LEFT + c, TOP + r, "#f0637a" if light else "#c8213b"))
    parts.append("</g></svg>")
    return "\n".join(parts) + "\n"


def main():
    source = os.path.join(HERE, "kanvo.svg")
    with open(source, "w", encoding="utf-8") as out:
        out.write(svg())
    for size in SIZES:
        folder = os.path.join(HERE, "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o",
                        os.path.join(folder, f"{APP_ID}.png"), source], check=True)


if __name__ == "__main__":
    main()
