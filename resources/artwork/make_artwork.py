#!/usr/bin/env python3
"""Builds the wizard's bitmaps and icon from the SVG drawn by the art_* modules.

  make_artwork.py list                         one line per bitmap: id width height
  make_artwork.py scales                       the display scales in percent, 100 first
  make_artwork.py svg ID                       the SVG source of a bitmap, on standard output
  make_artwork.py scaled PERCENT ID OUT.png    the bitmap drawn for a display scale, as a 24-bit PNG
  make_artwork.py scaled-set PERCENT OUT_DIR   every bitmap so, as OUT_DIR/<id>.png
  make_artwork.py icon OUT.ico                 the application icon with 16, 32 and 48 pixel images
  make_artwork.py rc OUT.rc PNG_DIR ICON       the resource script fragment naming every file; the sets
                                               are PNG_DIR/<percent>/<id>.png

Every set, 100 % included, is stored as PNG (a 24-bit BMP of the 100 % set took four times the room of
all the others together). Tools: rsvg-convert renders and writes the PNGs, ImageMagick's convert writes
the ICO; their paths may be given with --rsvg and --convert.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

# The drawing modules sit beside this script; keep the source tree free of byte-code caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from art_banners import BANNERS  # noqa: E402
from art_controls import CONTROLS  # noqa: E402
from art_pages import PAGES  # noqa: E402
from art_style import ACCENT, svg_document  # noqa: E402

# Every bitmap of the wizard with the size the dialog expects of it, in the order of the contact sheet.
SIZES = {}
SIZES.update({bid: (1024, 600) for bid in (136, 2001, 2002, 2003, 2004, 2010, 2006)})
SIZES.update({bid: (812, 68) for bid in (2025, 2026, 2027, 143, 146)})
SIZES.update({134: (614, 263), 145: (332, 150)})
SIZES.update({bid: (132, 46) for bid in range(2011, 2018)})
SIZES.update({bid: (406, 33) for bid in range(2018, 2022)})
SIZES.update({bid: (207, 43) for bid in range(138, 142)})
SIZES.update({bid: (310, 42) for bid in (2022, 2023, 2024, 147, 148)})

# The display scales the artwork is drawn for; the wizard finds each set under a resource type of its own
# ("ART100", "ART150" ...), and scales between two sets take the larger one's pictures.
SCALES = (100, 125, 150, 175, 200)

BUILDERS = {**PAGES, **BANNERS, **CONTROLS}
ICON_ID = 128
ICON_SIZES = (16, 32, 48)


def svg_for(bitmap_id):
    source = BUILDERS[bitmap_id]()
    width, height = SIZES[bitmap_id]
    declared = re.search(r'<svg [^>]*width="(\d+)" height="(\d+)"', source)
    if not declared or (int(declared.group(1)), int(declared.group(2))) != (width, height):
        raise SystemExit(f"bitmap {bitmap_id}: drawing is not {width}x{height}")
    return source


def icon_svg(size):
    """The tool's mark on a blue tile; the smallest size gets a plainer, bolder arrow."""
    stroke = 3.2 if size <= 16 else 2.4
    arrow = ('<path d="M12 16.5V5.5M7 10l5-5 5 5M6 19.5h12" fill="none" stroke="#FFFFFF" '
             f'stroke-width="{stroke}" stroke-linecap="round" stroke-linejoin="round"/>')
    body = (f'<rect x="0.5" y="0.5" width="23" height="23" rx="5" fill="url(#tile)"/>{arrow}')
    defs = ('<linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="#3B95EA"/><stop offset="1" stop-color="{ACCENT}"/>'
            '</linearGradient>')
    return svg_document(24, 24, body, defs).replace('width="24" height="24"',
                                                   f'width="{size}" height="{size}"', 1)


def run(command, stdin=None):
    result = subprocess.run(command, input=stdin, capture_output=True)
    if result.returncode != 0:
        raise SystemExit(f"{' '.join(command)} failed: {result.stderr.decode(errors='replace')}")


def render_png(svg, png, width, height, tools):
    run([tools.rsvg, "--format", "png", "--width", str(width), "--height", str(height),
         "--output", png], stdin=svg.encode("utf-8"))


def scaled_size(size, percent):
    """A 100 % length at a scale, rounded as the wizard rounds (MulDiv: halves away from zero)."""
    dpi = percent * 96 // 100
    return (size * dpi + 48) // 96


def write_scaled(percent, bitmap_id, out, tools):
    width, height = (scaled_size(n, percent) for n in SIZES[bitmap_id])
    # On white, rsvg-convert writes 24-bit RGB and no time chunk: the file is the same in every build.
    run([tools.rsvg, "--format", "png", "--width", str(width), "--height", str(height),
         "--background-color", "white", "--output", f"{out}.tmp"], stdin=svg_for(bitmap_id).encode("utf-8"))
    os.replace(f"{out}.tmp", out)


def write_icon(out, tools):
    with tempfile.TemporaryDirectory() as work:
        pngs = []
        for size in ICON_SIZES:
            png = os.path.join(work, f"icon{size}.png")
            render_png(icon_svg(size), png, size, size, tools)
            pngs.append(png)
        run([tools.convert, *pngs, f"ICO:{out}.tmp"])
    os.replace(f"{out}.tmp", out)


def write_rc(out, png_dir, icon):
    lines = ["// Generated by resources/artwork/make_artwork.py: the wizard's pictures and icon.\n"]
    for percent in SCALES:
        for bitmap_id in sorted(SIZES):
            path = os.path.join(os.path.abspath(png_dir), str(percent), f"{bitmap_id}.png")
            lines.append(f'{bitmap_id} ART{percent} "{path}"\n')
    lines.append(f'{ICON_ID} ICON "{os.path.abspath(icon)}"\n')
    # Written anew after every change of a bitmap: a resource script that includes this fragment and
    # depends on it is compiled again with the new pictures.
    with open(out, "w", encoding="utf-8") as f:
        f.write("".join(lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rsvg", default="rsvg-convert")
    parser.add_argument("--convert", default="convert")
    parser.add_argument("command", choices=("list", "scales", "svg", "scaled", "scaled-set", "icon", "rc"))
    parser.add_argument("args", nargs="*")
    tools = parser.parse_args()
    if tools.command == "list":
        for bitmap_id in SIZES:
            print(bitmap_id, *SIZES[bitmap_id])
    elif tools.command == "svg":
        sys.stdout.write(svg_for(int(tools.args[0])))
    elif tools.command == "scales":
        print(*SCALES)
    elif tools.command == "scaled":
        write_scaled(int(tools.args[0]), int(tools.args[1]), tools.args[2], tools)
    elif tools.command == "scaled-set":
        for bitmap_id in SIZES:
            write_scaled(int(tools.args[0]), bitmap_id, os.path.join(tools.args[1], f"{bitmap_id}.png"), tools)
    elif tools.command == "icon":
        write_icon(tools.args[0], tools)
    else:
        write_rc(*tools.args[:3])


if __name__ == "__main__":
    main()
