#!/usr/bin/env python3
"""The wizard's pictures carry no words: the SVG the generator draws for every picture has no text but
the step numbers in their discs (digits alone). Every word is the wizard's own text, in the user's
language; a word in a picture would stay English. Exit status 1 names every picture and text found."""

import os
import sys
import xml.etree.ElementTree as ElementTree

sys.dont_write_bytecode = True
ARTWORK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "artwork")
sys.path.insert(0, ARTWORK)

import make_artwork  # noqa: E402

SVG = "{http://www.w3.org/2000/svg}"


def words_in(svg):
    """The texts of a drawing that are more than a number."""
    found = []
    for element in ElementTree.fromstring(svg).iter():
        if element.tag in (SVG + "text", SVG + "tspan", SVG + "textPath"):
            content = "".join(element.itertext()).strip()
            if not content.isdigit():
                found.append(content)
    return found


def main():
    # The check itself must see a word where there is one.
    assert words_in('<svg xmlns="http://www.w3.org/2000/svg"><text>Next</text><text>3</text></svg>') == ["Next"]
    failures = 0
    for bitmap_id in make_artwork.SIZES:
        for content in words_in(make_artwork.svg_for(bitmap_id)):
            print(f"picture {bitmap_id} carries the words {content!r}")
            failures += 1
    print(f"{len(make_artwork.SIZES)} pictures checked, {failures} with words")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
