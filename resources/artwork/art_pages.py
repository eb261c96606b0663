"""The seven page backgrounds, 1024 x 600, without words: the wizard draws every word over them as
text (its places are the dialog's table of controls), so the pictures stay the same in every language.
Only the step numbers in their discs are drawn here. Controls are placed by the wizard; each page leaves
their places empty: the licence text 115,140 780x280 and its radio buttons at 115,435 and 115,470; the
notice radio buttons at 260,400 and 530,400; Back 710,530, Next 862,530 and Exit 20,530 (or 862,530)
in the footer band; the download screen's banners, picture, progress bar and start button on page 5."""

from art_drawings import (badge, battery_cover, connection_scene, device_back_open, device_front,
                          glyph)
from art_page import page_document
from art_style import (ACCENT, ACCENT_TINT, AMBER, GREEN, LINE, PANEL, linear_gradient, rect,
                       soft_shadow_filter, text)

# Where the large connection drawing (134) shows over the connect page when the port is found.
CABLE_LARGE_AT = (182, 177)


def _panel(x, y, w, h, rx=12):
    return rect(x, y, w, h, PANEL, rx=rx, stroke=LINE, extra='filter="url(#card)"')


def _card_defs():
    return soft_shadow_filter("card", blur=4, opacity=0.10, dy=2)


def _numbered(x, y, number):
    """A step's number in a blue disc; its text (the wizard's) follows at x + 36, baseline y."""
    return (f'<circle cx="{x + 13}" cy="{y - 5}" r="13" fill="{ACCENT}"/>'
            + text(x + 13, y, str(number), 14, "#FFFFFF", 700, "middle"))


def page_intro():
    body = []
    notices = (("info", ACCENT), ("alert", AMBER))
    clips = ""
    # Each panel holds three lines of a longer translation, or two of a taller script.
    for i, (name, colour) in enumerate(notices):
        y = 282 + i * 88
        clips += f'<clipPath id="notice{i}"><rect x="60" y="{y}" width="530" height="78" rx="10"/></clipPath>'
        body.append(_panel(60, y, 530, 78, rx=10))
        body.append(rect(60, y, 6, 78, colour, extra=f'clip-path="url(#notice{i})"'))
        body.append(badge(name, 100, y + 39, 17, colour))
    # The device, large, on a soft disc.
    body.append('<circle cx="790" cy="292" r="178" fill="url(#halo)"/>')
    body.append(device_front(640, 200, 1.5, leds="white"))
    defs = _card_defs() + clips + ('<radialGradient id="halo"><stop offset="0" stop-color="#DCE9F7"/>'
                           '<stop offset="0.7" stop-color="#E6EFF8"/><stop offset="1" '
                           'stop-color="#F4F6F9"/></radialGradient>')
    return page_document(0, "".join(body), defs)


def page_license():
    return page_document(1, "")


def page_notice():
    x, y, w, h = 110, 84, 804, 296
    body = [
        _panel(x, y, w, h),
        badge("alert", x + 42, y + 40, 19, AMBER),
        f'<path d="M{x + 24} {y + 78.5}H{x + w - 24}" stroke="{LINE}"/>',
        # Point 1: the settings go back to their defaults.
        rect(x + 30, y + 100, 64, 64, ACCENT_TINT, rx=14),
        glyph("gear", x + 62, y + 132, 40, ACCENT, 2.4),
        # Point 2: a charged battery, shown by the green power button.
        f'<circle cx="{x + 62}" cy="{y + 222}" r="32" fill="url(#green-button)"/>',
        f'<circle cx="{x + 62}" cy="{y + 222}" r="32" fill="none" stroke="#1F7A40" stroke-width="2"/>',
        glyph("power", x + 62, y + 222, 34, "#FFFFFF", 3),
    ]
    defs = _card_defs() + linear_gradient("green-button", [(0, "#4CC477"), (1, GREEN)])
    return page_document(2, "".join(body), defs)


def page_download_mode():
    body = []
    # Each card holds four lines of a step in a taller script under its photograph.
    card_w, gap, top = 226, 13, 140
    for i in range(4):
        x = 40 + i * (card_w + gap)
        body.append(_panel(x, top, card_w, 304, rx=12))
        body.append(f'<path d="M{x + 1} {top + 160}V{top + 12}a11 11 0 0 1 11-11H{x + card_w - 12}'
                    f'a11 11 0 0 1 11 11V{top + 160}z" fill="url(#photo)"/>')
        body.append(_step_picture(i, x, top + 4))
        body.append(_numbered(x + 14, top + 194, i + 1))
    body.append(_numbered(40, 476, 5))
    defs = _card_defs() + linear_gradient("photo", [(0, "#E9EEF4"), (1, "#D9E1EA")])
    return page_document(3, "".join(body), defs)


def _step_picture(index, x, top):
    if index == 0:
        # Switched off, the cable pulled out of its socket.
        return (device_front(x + 18, top + 34, 0.8, leds="off")
                + f'<rect x="{x + 192}" y="{top + 77}" width="20" height="12" rx="3" fill="#2C3036"/>'
                + f'<rect x="{x + 187}" y="{top + 80}" width="5" height="6" fill="#AEB6C0"/>'
                + f'<path d="M{x + 212} {top + 83}H{x + 226}" stroke="#2C3036" stroke-width="4"/>'
                + badge("power", x + 194, top + 30, 15, "#7A8694"))
    if index == 1:
        return (device_back_open(x + 12, top + 56, 0.68)
                + battery_cover(x + 100, top + 18, 0.56)
                + glyph("arrow-right", x + 166, top + 102, 26, "#F0A21A", 3.2))
    if index == 2:
        return device_front(x + 33, top + 54, 0.8, leds="blue", pressed_buttons=True)
    return (device_front(x + 33, top + 40, 0.8, leds="blue")
            + badge("check", x + 190, top + 120, 15, GREEN))


def page_connect():
    ox, oy = CABLE_LARGE_AT
    return page_document(4, f'<g transform="translate({ox} {oy})">{connection_scene(plugged=False)}</g>')


def page_download():
    return page_document(5, "")


# The final steps' baselines: one line of 20 pixels each, the sixth and seventh two.
COMPLETE_STEP_BASELINES = (196, 233, 270, 307, 344, 381, 438)


def page_complete():
    body = [badge("check", 82, 108, 22, GREEN, stroke_width=3)]
    for i, y in enumerate(COMPLETE_STEP_BASELINES):
        body.append(_numbered(60, y, i + 1))
    # The drawings stand aside for the steps: a line of a longer translation reaches 740.
    body.append(rect(748, 150, 226, 330, "#E7EDF4", rx=16))
    body.append(device_back_open(761, 180, 1.0, reset_marker=True))
    body.append(device_front(776, 336, 0.85, leds="white"))
    return page_document(6, "".join(body), _card_defs())


PAGES = {136: page_intro, 2001: page_license, 2002: page_notice, 2003: page_download_mode,
         2004: page_connect, 2010: page_download, 2006: page_complete}
