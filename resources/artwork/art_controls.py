"""Faces of the skinned buttons: push buttons (normal, pressed, disabled) and radio buttons (normal =
unchecked, pressed = checked). Each face fills its whole bitmap; its corners carry the colour of the
band it sits on, so the rounded outline blends into the page. A caption names its access key with "&",
as the control's window text does; every face is drawn a second time, KEYED_FACE_OFFSET ids up, with
that letter underlined, for while the keyboard cues are shown."""

from art_drawings import glyph
from art_style import (ACCENT, ACCENT_TINT, FOOTER_BG, PAGE_BG, RED, TEXT, caption as caption_text,
                       linear_gradient, rect, svg_document)

KEYED_FACE_OFFSET = 1000

# Fill gradient (top, bottom), outline and caption colour per look and state.
LOOKS = {
    "secondary": {"normal": (("#FFFFFF", "#EDF1F5"), "#A9B5C3", TEXT),
                  "pressed": (("#D3DBE4", "#E2E8EE"), "#8E9CAD", TEXT)},
    "primary": {"normal": (("#2C8AE5", "#1A6BC0"), "#15599F", "#FFFFFF"),
                "pressed": (("#124E8F", "#17609F"), "#0E4277", "#FFFFFF")},
    "warning": {"normal": (("#F2A833", "#DA870B"), "#BE7407", "#FFFFFF"),
                "pressed": (("#B86C05", "#CC7B08"), "#9E5D04", "#FFFFFF")},
}
DISABLED = (("#D9DFE6", "#D9DFE6"), "#C4CDD7", "#8D99A6")


def access_key(label, underline):
    """The caption without its "&", and the index of the letter to underline (None for the plain face)."""
    key = label.index("&")
    return label[:key] + label[key + 1:], key if underline else None


def text_width(label, size):
    """Rough advance of a caption in Open Sans Semibold, enough to set an icon beside it."""
    narrow, wide = "iljtfrI.,:;' ", "mwMWG"
    em = sum(0.30 if c in narrow else 0.88 if c in wide else 0.68 if c.isupper() else 0.585
             for c in label)
    return em * size


def push_face(width, height, label, look, state, band, caption=None, icon=None, icon_side="left",
              size=16, underline=False):
    label, key = access_key(label, underline)
    (top, bottom), outline, colour = DISABLED if state == "disabled" else LOOKS[look][state]
    if caption:
        colour = caption
    pressed = state == "pressed"
    dy = 1 if pressed else 0
    body_shape = dict(x=1.5, y=1.5, w=width - 3, h=height - 4, rx=7.5)
    defs = (linear_gradient("fill", [(0, top), (1, bottom)])
            + f'<clipPath id="body"><rect x="1.5" y="1.5" width="{width - 3}" height="{height - 4}" '
              f'rx="7.5"/></clipPath>'
            + '<filter id="inset" x="-10%" y="-100%" width="120%" height="300%">'
              '<feGaussianBlur stdDeviation="2.2"/></filter>')
    parts = [rect(0, 0, width, height, band)]
    if state == "normal":
        # A soft ledge under the button lifts it off the band.
        parts.append(rect(1, 2.5, width - 2, height - 3, "#000000", rx=8, extra='fill-opacity="0.10"'))
    parts.append(rect(body_shape["x"], body_shape["y"], body_shape["w"], body_shape["h"], "url(#fill)",
                      rx=body_shape["rx"]))
    if pressed:
        # A blurred shade inside the top edge: the face sinks in.
        parts.append(f'<g clip-path="url(#body)"><rect x="-4" y="-6" width="{width + 8}" height="9" '
                     f'fill="#000000" fill-opacity="0.45" filter="url(#inset)"/></g>')
    parts.append(rect(body_shape["x"], body_shape["y"], body_shape["w"], body_shape["h"], "none",
                      rx=body_shape["rx"], stroke=outline))
    cx = width / 2
    cy = (height - 2) / 2 + dy
    baseline = cy + size * 0.36
    if icon:
        label_w = text_width(label, size)
        shift = 12 if icon_side == "left" else -12
        tx = cx + shift
        gap = size * 0.6 + 8
        gx = tx - label_w / 2 - gap if icon_side == "left" else tx + label_w / 2 + gap
        parts.append(glyph(icon, gx, cy, size + 4, colour, 2.4))
    else:
        tx = cx
    parts.append(caption_text(tx, baseline, label, size, colour, 600, "middle", key))
    return svg_document(width, height, "".join(parts), defs)


def radio_face(width, height, label, checked, underline=False, size=15):
    """Licence radio button: a round mark and the sentence beside it, on the page's content colour."""
    label, key = access_key(label, underline)
    cy = height / 2
    parts = [rect(0, 0, width, height, PAGE_BG),
             f'<circle cx="14" cy="{cy}" r="9" fill="#FFFFFF" stroke="{ACCENT if checked else "#8795A5"}" '
             f'stroke-width="{2 if checked else 1.5}"/>']
    if checked:
        parts.append(f'<circle cx="14" cy="{cy}" r="4.6" fill="{ACCENT}"/>')
    parts.append(caption_text(33, cy + size * 0.36, label, size, TEXT, 600 if checked else 400, key=key))
    return svg_document(width, height, "".join(parts))


def choice_face(width, height, label, checked, underline=False, size=16):
    """Notice radio button: a rounded tile with a round mark; the checked tile is tinted and outlined."""
    label, key = access_key(label, underline)
    cy = height / 2
    fill, outline, stroke_w = (ACCENT_TINT, ACCENT, 2) if checked else ("#FFFFFF", "#B3BFCC", 1)
    parts = [rect(0, 0, width, height, PAGE_BG),
             rect(1.5, 1.5, width - 3, height - 3, fill, rx=8, stroke=outline, stroke_width=stroke_w),
             f'<circle cx="28" cy="{cy}" r="9" fill="#FFFFFF" stroke="{ACCENT if checked else "#8795A5"}" '
             f'stroke-width="{2 if checked else 1.5}"/>']
    if checked:
        parts.append(f'<circle cx="28" cy="{cy}" r="4.6" fill="{ACCENT}"/>')
    parts.append(caption_text(50, cy + size * 0.36, label, size, TEXT, 600, key=key))
    return svg_document(width, height, "".join(parts))


def nav_button(label, look, state, caption=None, icon=None, icon_side="left"):
    return lambda underline: push_face(132, 46, label, look, state, FOOTER_BG, caption, icon, icon_side,
                                       underline=underline)


def start_button(label, look, state, icon):
    return lambda underline: push_face(310, 42, label, look, state, PAGE_BG, None, icon, "left", 17,
                                       underline)


def radio_button(label, checked):
    return lambda underline: radio_face(406, 33, label, checked, underline)


def choice_button(label, checked):
    return lambda underline: choice_face(207, 43, label, checked, underline)


LICENSE_ACCEPT = "I &accept the terms in the license agreement."
LICENSE_DECLINE = "I &do not accept the terms in the license agreement."

# Each builder takes whether to underline the access key.
FACES = {
    2011: nav_button("&Back", "secondary", "normal", icon="arrow-left"),
    2012: nav_button("&Back", "secondary", "pressed", icon="arrow-left"),
    2013: nav_button("&Next", "primary", "normal", icon="arrow-right", icon_side="right"),
    2014: nav_button("&Next", "primary", "pressed", icon="arrow-right", icon_side="right"),
    2015: nav_button("&Next", "primary", "disabled", icon="arrow-right", icon_side="right"),
    2016: nav_button("E&xit", "secondary", "normal", caption="#000000"),
    2017: nav_button("E&xit", "secondary", "pressed", caption=RED),
    2018: radio_button(LICENSE_ACCEPT, False),
    2019: radio_button(LICENSE_ACCEPT, True),
    2020: radio_button(LICENSE_DECLINE, False),
    2021: radio_button(LICENSE_DECLINE, True),
    138: choice_button("&Accept", False),
    139: choice_button("&Accept", True),
    140: choice_button("&Decline", False),
    141: choice_button("&Decline", True),
    2022: start_button("&Start Software Download", "primary", "normal", "download"),
    2023: start_button("&Start Software Download", "primary", "pressed", "download"),
    2024: start_button("&Start Software Download", "primary", "disabled", "download"),
    147: start_button("Re&start Upgrade Utility", "warning", "normal", "restart"),
    148: start_button("Re&start Upgrade Utility", "warning", "pressed", "restart"),
}

CONTROLS = {bid: (lambda face=face: face(False)) for bid, face in FACES.items()}
CONTROLS.update({bid + KEYED_FACE_OFFSET: (lambda face=face: face(True)) for bid, face in FACES.items()})
