#!/usr/bin/python3
"""Draws the gallery pictures that are made rather than taken from a package.

  星座/*.gif   star charts of seven constellations, drawn from the catalogue positions
               (J2000 right ascension and declination) and visual magnitudes of their
               brighter stars, on a gnomonic projection with north up and east to the left. Lines and
               stars are drawn thick enough to survive the reduction to a stitch grid.
  艺术/花窗.gif  an eightfold rosette in the manner of a lattice window.

Flat colours and no anti-aliasing: every colour drawn is one thread in the chart.

Usage: /usr/bin/python3 scripts/gallery/draw_gallery_pictures.py [assets-folder]
Needs Pillow (Debian: python3-pil) and, for the captions, the WenQuanYi Micro Hei font
(fonts-wqy-microhei); without the font the charts are drawn without captions.
"""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_PATHS = [
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
    "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
]

SKY = (12, 26, 64)
FIGURE = (110, 150, 210)
CAPTION = (242, 201, 76)
STAR_COLOURS = {
    "b": (200, 220, 255),  # blue-white (O, B)
    "w": (255, 255, 255),  # white (A, F)
    "y": (255, 240, 170),  # yellow (G)
    "o": (255, 190, 110),  # orange (K)
    "r": (255, 120, 80),  # red (M)
}

# name: (right ascension in hours, declination in degrees, visual magnitude, colour class)
# Lines join stars by name.
CONSTELLATIONS = [
    {
        "file": "猎户座.gif",
        "caption": "猎户座  Orion",
        "stars": {
            "Betelgeuse": (5.919, 7.407, 0.45, "r"),
            "Rigel": (5.242, -8.202, 0.13, "b"),
            "Bellatrix": (5.419, 6.350, 1.64, "b"),
            "Saiph": (5.796, -9.670, 2.06, "b"),
            "Alnitak": (5.679, -1.943, 1.77, "b"),
            "Alnilam": (5.604, -1.202, 1.69, "b"),
            "Mintaka": (5.533, -0.299, 2.23, "b"),
            "Meissa": (5.585, 9.934, 3.39, "b"),
            "phi1": (5.580, 9.490, 4.41, "b"),
            "phi2": (5.615, 9.291, 4.09, "o"),
            "Hatysa": (5.591, -5.910, 2.77, "b"),
            "theta1": (5.588, -5.390, 4.0, "w"),
            "c Ori": (5.590, -4.838, 4.6, "b"),
            "eta": (5.408, -2.397, 3.36, "b"),
            "pi1": (4.915, 10.151, 4.65, "w"),
            "pi2": (4.843, 8.900, 4.36, "w"),
            "pi3": (4.830, 6.961, 3.19, "y"),
            "pi4": (4.853, 5.605, 3.69, "b"),
            "pi5": (4.904, 2.441, 3.71, "b"),
            "pi6": (4.976, 1.714, 4.47, "o"),
            "mu": (6.040, 9.648, 4.12, "w"),
            "nu": (6.126, 14.768, 4.42, "b"),
            "xi": (6.199, 14.209, 4.45, "b"),
            "chi1": (5.906, 20.276, 4.39, "y"),
            "chi2": (6.065, 20.138, 4.63, "b"),
        },
        "lines": [
            ("Meissa", "Betelgeuse"), ("Meissa", "Bellatrix"), ("Betelgeuse", "Alnitak"),
            ("Bellatrix", "Mintaka"), ("Alnitak", "Alnilam"), ("Alnilam", "Mintaka"),
            ("Alnitak", "Saiph"), ("Mintaka", "Rigel"), ("Bellatrix", "pi3"),
            ("pi1", "pi2"), ("pi2", "pi3"), ("pi3", "pi4"), ("pi4", "pi5"), ("pi5", "pi6"),
            ("Betelgeuse", "mu"), ("mu", "xi"), ("xi", "nu"), ("nu", "chi1"), ("chi1", "chi2"),
        ],
    },
    {
        "file": "大熊座.gif",
        "caption": "大熊座  Ursa Major",
        "stars": {
            "Dubhe": (11.062, 61.751, 1.79, "o"),
            "Merak": (11.031, 56.382, 2.37, "w"),
            "Phecda": (11.897, 53.695, 2.44, "w"),
            "Megrez": (12.257, 57.033, 3.31, "w"),
            "Alioth": (12.900, 55.960, 1.77, "w"),
            "Mizar": (13.399, 54.925, 2.27, "w"),
            "Alcor": (13.420, 54.988, 3.99, "w"),
            "Alkaid": (13.792, 49.313, 1.86, "b"),
            "Muscida": (8.504, 60.718, 3.36, "y"),
            "23 UMa": (9.526, 63.062, 3.67, "w"),
            "upsilon": (9.850, 59.039, 3.80, "w"),
            "theta": (9.548, 51.678, 3.17, "w"),
            "iota": (8.987, 48.042, 3.14, "w"),
            "kappa": (9.061, 47.157, 3.60, "w"),
            "lambda": (10.285, 42.914, 3.45, "w"),
            "mu": (10.372, 41.499, 3.05, "r"),
            "nu": (11.308, 33.094, 3.48, "o"),
            "xi": (11.303, 31.529, 3.79, "y"),
            "chi": (11.768, 47.779, 3.71, "o"),
            "psi": (11.161, 44.498, 3.01, "o"),
        },
        "lines": [
            ("Alkaid", "Mizar"), ("Mizar", "Alioth"), ("Alioth", "Megrez"), ("Megrez", "Dubhe"),
            ("Dubhe", "Merak"), ("Merak", "Phecda"), ("Phecda", "Megrez"),
            ("Dubhe", "23 UMa"), ("23 UMa", "Muscida"), ("23 UMa", "upsilon"), ("upsilon", "theta"),
            ("theta", "iota"), ("theta", "kappa"), ("Merak", "upsilon"),
            ("Phecda", "chi"), ("chi", "psi"), ("psi", "mu"), ("psi", "lambda"),
            ("chi", "nu"), ("nu", "xi"),
        ],
    },
    {
        "file": "仙后座.gif",
        "caption": "仙后座  Cassiopeia",
        "stars": {
            "Caph": (0.153, 59.150, 2.27, "y"),
            "Schedar": (0.675, 56.537, 2.24, "o"),
            "Navi": (0.945, 60.717, 2.15, "b"),
            "Ruchbah": (1.430, 60.235, 2.68, "w"),
            "Segin": (1.907, 63.670, 3.37, "b"),
            "eta": (0.818, 57.815, 3.44, "y"),
            "zeta": (0.617, 53.897, 3.66, "b"),
            "kappa": (0.550, 62.931, 4.16, "b"),
            "theta": (1.185, 55.150, 4.33, "w"),
            "iota": (2.486, 67.402, 4.52, "w"),
        },
        "lines": [
            ("Caph", "Schedar"), ("Schedar", "Navi"), ("Navi", "Ruchbah"), ("Ruchbah", "Segin"),
        ],
    },
    {
        "file": "天蝎座.gif",
        "caption": "天蝎座  Scorpius",
        "stars": {
            "Antares": (16.490, -26.432, 1.06, "r"),
            "Acrab": (16.091, -19.806, 2.62, "b"),
            "Jabbah": (16.200, -19.461, 4.00, "b"),
            "Dschubba": (16.006, -22.622, 2.29, "b"),
            "pi": (15.981, -26.114, 2.89, "b"),
            "rho": (15.948, -29.214, 3.88, "b"),
            "sigma": (16.353, -25.593, 2.89, "b"),
            "tau": (16.598, -28.216, 2.82, "b"),
            "epsilon": (16.836, -34.293, 2.29, "o"),
            "mu1": (16.864, -38.048, 3.00, "b"),
            "zeta2": (16.910, -42.362, 3.62, "o"),
            "eta": (17.203, -43.239, 3.33, "w"),
            "Sargas": (17.622, -42.998, 1.86, "y"),
            "iota1": (17.793, -40.127, 2.99, "y"),
            "kappa": (17.708, -39.030, 2.39, "b"),
            "Shaula": (17.560, -37.104, 1.62, "b"),
            "Lesath": (17.513, -37.296, 2.69, "b"),
        },
        "lines": [
            ("Jabbah", "Acrab"), ("Acrab", "Dschubba"), ("Dschubba", "pi"), ("pi", "rho"),
            ("Dschubba", "sigma"), ("sigma", "Antares"), ("Antares", "tau"), ("tau", "epsilon"),
            ("epsilon", "mu1"), ("mu1", "zeta2"), ("zeta2", "eta"), ("eta", "Sargas"),
            ("Sargas", "iota1"), ("iota1", "kappa"), ("kappa", "Shaula"), ("Shaula", "Lesath"),
        ],
    },
    {
        "file": "狮子座.gif",
        "caption": "狮子座  Leo",
        "stars": {
            "Regulus": (10.140, 11.967, 1.36, "b"),
            "eta": (10.122, 16.763, 3.49, "w"),
            "Algieba": (10.333, 19.842, 2.08, "o"),
            "Adhafera": (10.278, 23.417, 3.44, "w"),
            "Rasalas": (9.879, 26.007, 3.88, "o"),
            "epsilon": (9.764, 23.774, 2.98, "y"),
            "Zosma": (11.235, 20.524, 2.56, "w"),
            "Chertan": (11.237, 15.430, 3.33, "w"),
            "Denebola": (11.818, 14.572, 2.11, "w"),
            "kappa": (9.411, 26.182, 4.46, "o"),
            "lambda": (9.529, 22.968, 4.31, "o"),
            "omicron": (9.686, 9.892, 3.52, "w"),
            "rho": (10.546, 9.307, 3.85, "b"),
        },
        "lines": [
            ("Regulus", "eta"), ("eta", "Algieba"), ("Algieba", "Adhafera"), ("Adhafera", "Rasalas"),
            ("Rasalas", "epsilon"), ("epsilon", "lambda"), ("lambda", "kappa"),
            ("Algieba", "Zosma"), ("Zosma", "Denebola"), ("Denebola", "Chertan"),
            ("Chertan", "Regulus"), ("Zosma", "Chertan"),
        ],
    },
    {
        "file": "天鹅座.gif",
        "caption": "天鹅座  Cygnus",
        "stars": {
            "Deneb": (20.690, 45.280, 1.25, "w"),
            "Sadr": (20.370, 40.257, 2.23, "y"),
            "Albireo": (19.512, 27.960, 3.05, "o"),
            "eta": (19.938, 35.083, 3.89, "o"),
            "Gienah": (20.770, 33.970, 2.48, "o"),
            "zeta": (21.216, 30.227, 3.21, "y"),
            "delta": (19.750, 45.131, 2.87, "b"),
            "iota": (19.495, 51.730, 3.79, "w"),
            "kappa": (19.285, 53.368, 3.80, "y"),
            "xi": (21.082, 43.928, 3.72, "o"),
            "nu": (20.953, 41.167, 3.94, "w"),
        },
        "lines": [
            ("Deneb", "Sadr"), ("Sadr", "eta"), ("eta", "Albireo"), ("delta", "Sadr"),
            ("Sadr", "Gienah"), ("Gienah", "zeta"), ("delta", "iota"), ("iota", "kappa"),
        ],
    },
    {
        "file": "南十字座.gif",
        "caption": "南十字座  Crux",
        "stars": {
            "Acrux": (12.443, -63.099, 0.77, "b"),
            "Mimosa": (12.795, -59.689, 1.25, "b"),
            "Gacrux": (12.519, -57.113, 1.64, "r"),
            "Imai": (12.252, -58.749, 2.79, "b"),
            "Ginan": (12.356, -60.401, 3.59, "o"),
            "Rigil Kentaurus": (14.660, -60.834, -0.27, "y"),
            "Hadar": (14.064, -60.373, 0.61, "b"),
            "mu Cen": (13.830, -42.474, 3.04, "b"),
            "epsilon Cen": (13.665, -53.466, 2.30, "b"),
            "zeta Cen": (13.926, -47.288, 2.55, "b"),
            "gamma Cen": (12.692, -48.960, 2.17, "w"),
            "delta Cen": (12.139, -50.722, 2.52, "b"),
        },
        "lines": [
            ("Acrux", "Gacrux"), ("Mimosa", "Imai"),
        ],
    },
]


def load_font(size):
    for path in FONT_PATHS:
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return None


class Projection:
    """Gnomonic projection about the mean position of a set of stars."""

    def __init__(self, positions):
        xs = [math.cos(math.radians(d)) * math.cos(math.radians(r * 15)) for r, d in positions]
        ys = [math.cos(math.radians(d)) * math.sin(math.radians(r * 15)) for r, d in positions]
        zs = [math.sin(math.radians(d)) for _, d in positions]
        x, y, z = sum(xs), sum(ys), sum(zs)
        self.ra0 = math.atan2(y, x)
        self.dec0 = math.atan2(z, math.hypot(x, y))

    def __call__(self, ra_hours, dec_degrees):
        a = math.radians(ra_hours * 15) - self.ra0
        d = math.radians(dec_degrees)
        cos_c = math.sin(self.dec0) * math.sin(d) + math.cos(self.dec0) * math.cos(d) * math.cos(a)
        if cos_c <= 0.05:
            return None
        x = math.cos(d) * math.sin(a) / cos_c
        y = (math.cos(self.dec0) * math.sin(d) - math.sin(self.dec0) * math.cos(d) * math.cos(a)) / cos_c
        return -x, y  # east to the left, as the sky is seen


def star_radius(magnitude):
    return max(3, round(13 - 2.2 * magnitude))


def draw_constellation(spec, folder, font):
    stars = spec["stars"]
    project = Projection([(r, d) for r, d, _, _ in stars.values()])
    plane = {name: project(r, d) for name, (r, d, _, _) in stars.items()}
    xs = [p[0] for p in plane.values()]
    ys = [p[1] for p in plane.values()]
    span_x = max(xs) - min(xs)
    span_y = max(ys) - min(ys)
    caption_height = 64 if font else 0
    margin = 46
    width = 500
    scale = (width - 2 * margin) / span_x
    height = round(span_y * scale) + 2 * margin + caption_height
    if height > 600:
        height = 600
        scale = (height - 2 * margin - caption_height) / span_y
        width = max(400, round(span_x * scale) + 2 * margin)
    height = max(height, 380)
    cx = (max(xs) + min(xs)) / 2
    cy = (max(ys) + min(ys)) / 2
    area_mid_y = (height - caption_height) / 2

    def to_pixels(p):
        return (round(width / 2 + (p[0] - cx) * scale), round(area_mid_y - (p[1] - cy) * scale))

    image = Image.new("RGB", (width, height), SKY)
    draw = ImageDraw.Draw(image)
    draw.fontmode = "1"  # no anti-aliased text either

    for a, b in spec["lines"]:
        draw.line([to_pixels(plane[a]), to_pixels(plane[b])], fill=FIGURE, width=4)

    # Faint stars first, so a bright neighbour stays on top.
    for name, (_, _, mag, colour) in sorted(stars.items(), key=lambda s: -s[1][2]):
        x, y = to_pixels(plane[name])
        r = star_radius(mag)
        draw.ellipse([x - r - 2, y - r - 2, x + r + 2, y + r + 2], fill=SKY)
        draw.ellipse([x - r, y - r, x + r, y + r], fill=STAR_COLOURS[colour])
        if mag < 1.0:
            # Rays mark the first-magnitude stars.
            for dx, dy in ((1, 0), (0, 1)):
                draw.line([x - dx * (r + 7), y - dy * (r + 7), x + dx * (r + 7), y + dy * (r + 7)],
                          fill=STAR_COLOURS[colour], width=2)

    if font:
        draw.rectangle([0, height - caption_height, width, height], fill=SKY)
        draw.line([24, height - caption_height, width - 24, height - caption_height], fill=FIGURE, width=2)
        box = draw.textbbox((0, 0), spec["caption"], font=font)
        draw.text(((width - (box[2] - box[0])) / 2 - box[0], height - caption_height + 12 - box[1]),
                  spec["caption"], font=font, fill=CAPTION)
    save_flat(image, os.path.join(folder, "星座", spec["file"]))


def save_flat(image, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    # Drawn without anti-aliasing, the picture has only its few drawing colours.
    image.convert("P", palette=Image.ADAPTIVE, colors=64).save(path)
    print(path, image.size)


def draw_rosette(folder):
    size = 480
    c = size / 2
    ground = (250, 244, 228)
    red = (178, 34, 52)
    dark = (96, 20, 36)
    gold = (222, 168, 48)
    jade = (36, 128, 104)
    blue = (38, 70, 140)
    image = Image.new("RGB", (size, size), ground)
    draw = ImageDraw.Draw(image)

    def petal(radius_in, radius_out, half_width, angle, colour):
        # A pointed petal between two radii, as a polygon of two circular arcs.
        pts = []
        steps = 24
        for i in range(steps + 1):
            t = i / steps
            r = radius_in + (radius_out - radius_in) * t
            w = half_width * math.sin(math.pi * t)
            pts.append((r, w))
        for i in range(steps, -1, -1):
            t = i / steps
            r = radius_in + (radius_out - radius_in) * t
            w = -half_width * math.sin(math.pi * t)
            pts.append((r, w))
        ca, sa = math.cos(angle), math.sin(angle)
        draw.polygon([(c + r * ca - w * sa, c + r * sa + w * ca) for r, w in pts], fill=colour)

    def ring(radius, width, colour):
        draw.ellipse([c - radius, c - radius, c + radius, c + radius], outline=colour, width=width)

    def disc(radius, colour, x=c, y=c):
        draw.ellipse([x - radius, y - radius, x + radius, y + radius], fill=colour)

    # Square lattice frame.
    draw.rectangle([8, 8, size - 9, size - 9], outline=dark, width=10)
    draw.rectangle([24, 24, size - 25, size - 25], outline=red, width=4)
    for k in range(4):
        corner = [(30, 30), (size - 31, 30), (30, size - 31), (size - 31, size - 31)][k]
        disc(20, gold, *corner)
        disc(9, red, *corner)
    disc(212, blue)
    disc(204, ground)
    for i in range(16):
        petal(120, 200, 22, i * math.pi / 8 + math.pi / 16, jade)
    for i in range(8):
        petal(60, 188, 38, i * math.pi / 4, red)
        petal(80, 160, 14, i * math.pi / 4, gold)
    ring(120, 6, dark)
    disc(62, gold)
    for i in range(8):
        petal(10, 58, 14, i * math.pi / 4 + math.pi / 8, red)
    disc(16, dark)
    disc(7, gold)
    for i in range(32):
        a = i * math.pi / 16
        disc(5, gold if i % 2 else red, c + 212 * math.cos(a), c + 212 * math.sin(a))
    save_flat(image, os.path.join(folder, "艺术", "花窗.gif"))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets")
    font = load_font(30)
    for spec in CONSTELLATIONS:
        draw_constellation(spec, folder, font)
    draw_rosette(folder)


if __name__ == "__main__":
    main()
