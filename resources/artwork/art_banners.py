"""Banners of the download and connect screens (812 x 68) and the two drawings of the device joined to
a laptop (614 x 263 and 332 x 150). They sit on the content area, so their edges carry its colour. A
banner is its card and icon; its words are the wizard's, drawn over it from x = 78."""

from art_drawings import badge, connection_scene, drawing_defs
from art_style import (ACCENT, ACCENT_TINT, AMBER, AMBER_TINT, GREEN, GREEN_TINT, PAGE_BG, RED, RED_TINT,
                       rect, svg_document)

BANNER_W, BANNER_H = 812, 68
TONES = {
    "info": (ACCENT, ACCENT_TINT, "#B3D0EF"),
    "busy": (AMBER, AMBER_TINT, "#EFCB8A"),
    "good": (GREEN, GREEN_TINT, "#A6D6B7"),
    "bad": (RED, RED_TINT, "#EBADB0"),
}


def banner(tone, icon):
    colour, tint, outline = TONES[tone]
    # The coloured edge on the left follows the card's rounded corners.
    defs = (f'<clipPath id="card"><rect x="1.5" y="1.5" width="{BANNER_W - 3}" height="{BANNER_H - 3}" '
            f'rx="10"/></clipPath>')
    parts = [rect(0, 0, BANNER_W, BANNER_H, PAGE_BG),
             rect(1.5, 1.5, BANNER_W - 3, BANNER_H - 3, tint, rx=10, stroke=outline),
             rect(0, 0, 8, BANNER_H, colour, extra='clip-path="url(#card)"'),
             badge(icon, 44, BANNER_H / 2, 19, colour, stroke_width=2.6)]
    return svg_document(BANNER_W, BANNER_H, "".join(parts), defs)


def cable_picture(width, height):
    scale = width / 614.0
    dy = (height - 263 * scale) / 2
    body = (rect(0, 0, width, height, PAGE_BG)
            + f'<g transform="translate(0 {dy:.2f}) scale({scale:.5f})">{connection_scene(True)}</g>')
    return svg_document(width, height, body, drawing_defs())


BANNERS = {
    2025: lambda: banner("busy", "sync"),
    2026: lambda: banner("info", "download"),
    2027: lambda: banner("good", "check"),
    143: lambda: banner("good", "plug"),
    146: lambda: banner("bad", "cross"),
    134: lambda: cable_picture(614, 263),
    145: lambda: cable_picture(332, 150),
}
