#!/bin/bash
# Remakes the gallery pictures taken from Debian packages (see assets/README.md for each file's
# origin and licence). The pictures are committed; this records how they were made.
#
# Usage: scripts/gallery/convert_packaged_pictures.sh UNPACKED [ASSETS]
#   UNPACKED  a folder into which these packages were unpacked with `dpkg-deb -x PKG.deb UNPACKED`:
#             openclipart-svg, lomiri-wallpapers-16.04, python3-skimage, python-matplotlib-data,
#             python3-scipy
#   ASSETS    the assets folder (default: the repository's assets/)
# Needs imagemagick, librsvg2-bin (rsvg-convert) and python3-pil.
set -euo pipefail

src=${1:?usage: $0 UNPACKED [ASSETS]}
here=$(cd "$(dirname "$0")" && pwd)
out=${2:-$here/../../assets}
clip=$src/usr/share/openclipart/svg
walls=$src/usr/share/backgrounds
skdata=$src/usr/lib/python3/dist-packages/skimage/data
mpl=$src/usr/share/matplotlib/mpl-data/sample_data
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

mkdir -p "$out"/{动漫,美女,汽车,星座,动物,风景,艺术}

# A vector drawing: rendered large on white, trimmed to the drawing, shrunk, a white border
# (a tall figure also a wider white canvas, so that it gives a grid of sensible proportions),
# and stored as a GIF of at most 64 colours (flat areas stay flat in the chart).
vector() { # svg, output, size, [canvas: widened to this size, drawing centred]
  local canvas=()
  [ -n "${4:-}" ] && canvas=(-gravity center -extent "$4")
  rsvg-convert -w 2400 -b white "$1" -o "$tmp/v.png"
  convert "$tmp/v.png" -trim +repage -resize "$3" -bordercolor white -border 16 "${canvas[@]}" \
    +dither -colors 64 "$2"
}
# A photo: shrunk and stored as a JPEG.
photo() { # input, output, geometry, [crop]
  local crop=()
  [ -n "${4:-}" ] && crop=(-crop "$4" +repage)
  convert "$1" "${crop[@]}" -resize "$3" -strip -quality 88 "$2"
}

vector "$clip/people/blue_girl_dirk_struve_.svg" "$out/动漫/蓝发少女.gif" 440x440
vector "$clip/people/manga_girl_dirk_struve_01.svg" "$out/动漫/漫画少女.gif" 440x440
vector "$clip/animals/mammals/cartoon_cat_gerald_g._01.svg" "$out/动漫/卡通猫.gif" 500x500
vector "$clip/animals/sailor_monkey_nicu_bucul_01.svg" "$out/动漫/水手猴.gif" 440x440
vector "$clip/animals/mammals/cartoon_squirrel_mike_sm1.svg" "$out/动漫/读书松鼠.gif" 440x440

photo "$skdata/astronaut.png" "$out/美女/宇航员.jpg" 480x480
photo "$mpl/grace_hopper.jpg" "$out/美女/格蕾丝霍珀.jpg" 440x
vector "$clip/people/woman_fashion_01_gerald__01.svg" "$out/美女/绿裙女郎.gif" 500x500 380x532
vector "$clip/people/woman_fashion_02_gerald__01.svg" "$out/美女/紫裙女郎.gif" 500x500 380x532

vector "$clip/transportation/vehicles/car.svg" "$out/汽车/红色小汽车.gif" 500x500
vector "$clip/transportation/vehicles/skoda_car_alejandro_teja_.svg" "$out/汽车/掀背轿车.gif" 500x500
vector "$clip/transportation/vehicles/4wd.svg" "$out/汽车/越野车.gif" 500x500
vector "$clip/transportation/vehicles/old_car_lumen_design_st_r.svg" "$out/汽车/老爷车.gif" 500x500

photo "$skdata/chelsea.png" "$out/动物/小猫.jpg" 451x300
/usr/bin/python3 - "$src/usr/lib/python3/dist-packages/scipy/misc/face.dat" "$tmp/face.png" <<'EOF'
import bz2, sys
from PIL import Image
raw = bz2.decompress(open(sys.argv[1], "rb").read())
Image.frombytes("RGB", (1024, 768), raw).save(sys.argv[2])
EOF
photo "$tmp/face.png" "$out/动物/浣熊.jpg" 520x
photo "$walls/friends_by_Aitzol_Berasategi.jpg" "$out/动物/小狗.jpg" 480x480 1500x1500+300+350
vector "$clip/animals/emperor_penguin_ralf_ste_01.svg" "$out/动物/企鹅.gif" 440x440

photo "$walls/aitzgorri_by_Aitzol_Berasategi.jpg" "$out/风景/秋山.jpg" 560x
photo "$walls/picosdeeuropa_by_Aitzol_Berasategi.jpg" "$out/风景/雪峰.jpg" 560x
photo "$walls/sunset_by_Aitzol_Berasategi.jpg" "$out/风景/日落.jpg" 560x
photo "$walls/life_by_Aitzol_Berasategi.jpg" "$out/风景/溪流.jpg" 560x

photo "$walls/Picture_1A_by_freespace.jpg" "$out/艺术/画笔.jpg" 520x
photo "$walls/Picture_0B_by_freespace.jpg" "$out/艺术/无花果.jpg" 560x
photo "$walls/umang_by_Abhishek_Mudgal.jpg" "$out/艺术/彩光.jpg" 560x

# The star charts and the rosette are drawn, not converted.
/usr/bin/python3 "$here/draw_gallery_pictures.py" "$out"
