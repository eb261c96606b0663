#!/usr/bin/env python3
"""Cuts the wizard's typefaces down to the characters its texts use, one font file per face.

    subset_fonts.py OUT_DIR TEMPLATE.pot PO_FILE...

Latin and Cyrillic scripts are drawn in Open Sans, the artwork's typeface; Chinese, Japanese and Korean
each in their own Noto Sans CJK face (the same character is drawn differently in each), Arabic in Noto
Sans Arabic with the Latin letters of Noto Sans merged in. Each face keeps printable ASCII and Latin-1 as
well, for numbers, port names and paths in status lines. Writes the faces and fonts.rc ("<id> FONTFILE <path>" lines) into OUT_DIR.
"""
import os
import re
import sys

import tempfile

from fontTools import subset
from fontTools.merge import Merger
from fontTools.ttLib import TTCollection, TTFont

OPEN_SANS = "/usr/share/fonts/truetype/open-sans/OpenSans-{}.ttf"
CJK = "/usr/share/fonts/opentype/noto/NotoSansCJK-{}.ttc"
ARABIC = "/usr/share/fonts/truetype/noto/NotoSansArabic-{}.ttf"
# Noto Sans Arabic draws no Latin letters; those of Noto Sans (same design grid) are merged into it, so that
# product names, numbers and paths inside Arabic texts show in the same face. The merged face takes a name
# of its own: a system with Noto Sans Arabic installed would otherwise draw with that one, without Latin.
ARABIC_FAMILY = "Noto Sans Arabic KRT"
NOTO_LATIN = "/usr/share/fonts/truetype/noto/NotoSans-{}.ttf"
# Face of each CJK language in the collections.
CJK_FACES = {"ja": "Noto Sans CJK JP", "ko": "Noto Sans CJK KR", "zh_CN": "Noto Sans CJK SC"}
ALWAYS = "".join(chr(c) for c in range(0x20, 0x7F)) + "".join(chr(c) for c in range(0xA0, 0x100))

# The pseudo-language of test builds is made from the English by the translations' tool.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "translations"))
from po_tool import ACCENTED, FILLER  # noqa: E402


def texts_of(path, keyword):
    """Every character of the file's msgid or msgstr texts."""
    text = open(path, encoding="utf-8").read()
    found = []
    for match in re.finditer(r'^' + keyword + r' ((?:".*"\n?)+)', text, re.M):
        found.extend(re.findall(r'"((?:[^"\\]|\\.)*)"', match.group(1)))
    return set("".join(found))


def load_face(path, family):
    if path.endswith(".ttc"):
        for font in TTCollection(path).fonts:
            if font["name"].getDebugName(1) == family:
                return font
        raise SystemExit(f"subset_fonts: {path} holds no face {family}")
    return TTFont(path)


def subset_font(font, characters):
    options = subset.Options()
    options.layout_features = ["*"]  # Arabic joins its letters through these
    options.name_IDs = ["*"]
    options.recalc_timestamp = False
    subsetter = subset.Subsetter(options)
    subsetter.populate(text="".join(sorted(characters)))
    subsetter.subset(font)
    return font


def rename_family(font, old, new):
    for record in font["name"].names:
        if record.nameID in (1, 3, 4, 6, 16, 21):
            text = record.toUnicode()
            if record.nameID == 6:  # the PostScript name has no spaces
                text = text.replace(old.replace(" ", ""), new.replace(" ", ""))
            else:
                text = text.replace(old, new)
            record.string = text


def cut(path, family, characters, out_path):
    font = subset_font(load_face(path, family), characters)
    if family == "Noto Sans Arabic":
        weight = "Bold" if "Bold" in os.path.basename(path) else "Regular"
        latin = {c for c in characters if ord(c) < 0x600}
        with tempfile.TemporaryDirectory() as work:
            parts = [os.path.join(work, "arabic.ttf"), os.path.join(work, "latin.ttf")]
            font.save(parts[0])
            subset_font(TTFont(NOTO_LATIN.format(weight)), latin).save(parts[1])
            font = Merger().merge(parts)
        rename_family(font, family, ARABIC_FAMILY)
    # The face keeps its own dates: a build made later gives the same bytes.
    font.recalcTimestamp = False
    font.save(out_path)


def main():
    out_dir, pot, pos = sys.argv[1], sys.argv[2], sys.argv[3:]
    os.makedirs(out_dir, exist_ok=True)
    by_language = {os.path.basename(po)[:-3]: texts_of(po, "msgstr") for po in pos}
    latin = texts_of(pot, "msgid") | set(ALWAYS) | set("".join(ACCENTED.values())) | set(FILLER)
    for language, characters in by_language.items():
        if language not in CJK_FACES and language != "ar":
            latin |= characters
    faces = []  # (file, family, characters, output name)
    for weight in ("Regular", "Semibold", "Bold"):
        faces.append((OPEN_SANS.format(weight), "Open Sans", latin, f"OpenSans-{weight}.ttf"))
    for language, family in CJK_FACES.items():
        characters = by_language.get(language, set()) | set(ALWAYS)
        for weight in ("Regular", "Bold"):
            faces.append((CJK.format(weight), family, characters, f"{family.replace(' ', '')}-{weight}.otf"))
    arabic = by_language.get("ar", set()) | set(ALWAYS)
    for weight in ("Regular", "Bold"):
        faces.append((ARABIC.format(weight), "Noto Sans Arabic", arabic, f"NotoSansArabic-{weight}.ttf"))

    lines = ["// Written by resources/fonts/subset_fonts.py: the wizard's typefaces, loaded privately at start."]
    for number, (path, family, characters, name) in enumerate(faces, start=1):
        out_path = os.path.join(out_dir, name)
        cut(path, family, characters, out_path)
        lines.append(f'{number} FONTFILE "{out_path}"')
    with open(os.path.join(out_dir, "fonts.rc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
