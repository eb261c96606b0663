"""The frame every page background shares: header band with the tool's mark and the step track (the
product name and the step's name and count are the wizard's text over it), a flat content area
(banners and controls sit on it and carry its colour at their edges), and the footer band under Back,
Next and Exit."""

from art_drawings import drawing_defs
from art_style import (ACCENT, ACCENT_RULE_H, FOOTER_BG, FOOTER_Y, HEADER_H, LINE, NAVY, NAVY_LIGHT,
                       PAGE_BG, PAGE_H, PAGE_W, linear_gradient, rect, svg_document)

STEP_COUNT = 7


def _logo(x, y):
    """The tool's mark: a rounded tile with an arrow rising out of a tray."""
    return (rect(x, y, 36, 36, "url(#logo)", rx=9)
            + f'<path d="M{x + 18} {y + 25}V{y + 9}M{x + 11} {y + 15}l7-7 7 7M{x + 9} {y + 28}h18" '
              f'fill="none" stroke="#FFFFFF" stroke-width="3" stroke-linecap="round" '
              f'stroke-linejoin="round"/>')


def _step_track(page):
    """Seven dots on the right of the header; the current step is ringed, the done ones filled."""
    parts = []
    gap = 22
    right = PAGE_W - 28
    first = right - gap * (STEP_COUNT - 1)
    cy = 44
    parts.append(f'<path d="M{first} {cy}H{right}" stroke="#36597F" stroke-width="2"/>')
    if page > 0:
        parts.append(f'<path d="M{first} {cy}H{first + gap * page}" stroke="{ACCENT}" stroke-width="2"/>')
    for i in range(STEP_COUNT):
        cx = first + gap * i
        if i < page:
            parts.append(f'<circle cx="{cx}" cy="{cy}" r="4.5" fill="{ACCENT}"/>')
        elif i == page:
            parts.append(f'<circle cx="{cx}" cy="{cy}" r="7" fill="{NAVY}" stroke="#FFFFFF" '
                         f'stroke-width="2"/><circle cx="{cx}" cy="{cy}" r="3" fill="#FFFFFF"/>')
        else:
            parts.append(f'<circle cx="{cx}" cy="{cy}" r="4.5" fill="{NAVY}" stroke="#5B7DA3" '
                         f'stroke-width="1.5"/>')
    return "".join(parts)


def page_document(page, body, extra_defs=""):
    defs = (linear_gradient("header", [(0, NAVY), (1, NAVY_LIGHT)], x2="1", y2="0")
            + linear_gradient("logo", [(0, "#3B95EA"), (1, "#1763B3")])
            + drawing_defs() + extra_defs)
    frame = [
        rect(0, 0, PAGE_W, PAGE_H, PAGE_BG),
        rect(0, 0, PAGE_W, HEADER_H, "url(#header)"),
        rect(0, HEADER_H, PAGE_W, ACCENT_RULE_H, ACCENT),
        _logo(20, 12),
        _step_track(page),
        rect(0, FOOTER_Y, PAGE_W, PAGE_H - FOOTER_Y, FOOTER_BG),
        f'<path d="M0 {FOOTER_Y + 0.5}H{PAGE_W}" stroke="{LINE}"/>',
    ]
    return svg_document(PAGE_W, PAGE_H, "".join(frame) + body, defs)
