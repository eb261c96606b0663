"""Faces of the skinned buttons: push buttons (normal, pressed, disabled) and radio buttons (normal =
unchecked, pressed = checked). Each face fills its whole bitmap; its corners carry the colour of the
band it sits on, so the rounded outline blends into the page. A face carries no words: the wizard draws
its caption (with the access key underlined while keyboard cues show) over it, in the place and colours
of its caption style (app/text_styles.cpp), beside the icon where the face has one."""

from art_drawings import glyph
from art_style import ACCENT, ACCENT_TINT, FOOTER_BG, PAGE_BG, linear_gradient, rect, svg_document

# Fill gradient (top, bottom) and outline per look and state; the glyph colour of the icon.
LOOKS = {
    "secondary": {"normal": (("#FFFFFF", "#EDF1F5"), "#A9B5C3", "#1E2936"),
                  "pressed": (("#D3DBE4", "#E2E8EE"), "#8E9CAD", "#1E2936")},
    "primary": {"normal": (("#2C8AE5", "#1A6BC0"), "#15599F", "#FFFFFF"),
                "pressed": (("#124E8F", "#17609F"), "#0E4277", "#FFFFFF")},
    "warning": {"normal": (("#F2A833", "#DA870B"), "#BE7407", "#FFFFFF"),
                "pressed": (("#B86C05", "#CC7B08"), "#9E5D04", "#FFFFFF")},
}
DISABLED = (("#D9DFE6", "#D9DFE6"), "#C4CDD7", "#8D99A6")


def english_width(label, size):
    """Rough advance of an English caption in Open Sans Semibold: the icons stand where they stood beside
    the English captions, and the captions' places in the wizard start or end there."""
    narrow, wide = "iljtfrI.,:;' ", "mwMWG"
    em = sum(0.30 if c in narrow else 0.88 if c in wide else 0.68 if c.isupper() else 0.585
             for c in label)
    return em * size


def push_face(width, height, look, state, band, icon=None, icon_side="left", size=16, label=""):
    (top, bottom), outline, colour = DISABLED if state == "disabled" else LOOKS[look][state]
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
    if icon:
        cx = width / 2
        cy = (height - 2) / 2 + dy
        label_w = english_width(label, size)
        tx = cx + (12 if icon_side == "left" else -12)
        gap = size * 0.6 + 8
        gx = tx - label_w / 2 - gap if icon_side == "left" else tx + label_w / 2 + gap
        parts.append(glyph(icon, gx, cy, size + 4, colour, 2.4))
    return svg_document(width, height, "".join(parts), defs)


def mark(cx, cy, checked):
    """The round mark of a choice; filled while checked."""
    parts = [f'<circle cx="{cx}" cy="{cy}" r="9" fill="#FFFFFF" stroke="{ACCENT if checked else "#8795A5"}" '
             f'stroke-width="{2 if checked else 1.5}"/>']
    if checked:
        parts.append(f'<circle cx="{cx}" cy="{cy}" r="4.6" fill="{ACCENT}"/>')
    return "".join(parts)


def radio_face(width, height, checked):
    """Licence radio button: a round mark, its sentence beside it on the page's content colour."""
    return svg_document(width, height, rect(0, 0, width, height, PAGE_BG) + mark(14, height / 2, checked))


def choice_face(width, height, checked):
    """Notice radio button: a rounded tile with a round mark; the checked tile is tinted and outlined."""
    fill, outline, stroke_w = (ACCENT_TINT, ACCENT, 2) if checked else ("#FFFFFF", "#B3BFCC", 1)
    parts = [rect(0, 0, width, height, PAGE_BG),
             rect(1.5, 1.5, width - 3, height - 3, fill, rx=8, stroke=outline, stroke_width=stroke_w),
             mark(28, height / 2, checked)]
    return svg_document(width, height, "".join(parts))


def nav_button(look, state, icon=None, icon_side="left", label=""):
    return lambda: push_face(132, 46, look, state, FOOTER_BG, icon, icon_side, label=label)


def start_button(look, state, icon, label):
    return lambda: push_face(310, 42, look, state, PAGE_BG, icon, "left", 17, label)


CONTROLS = {
    2011: nav_button("secondary", "normal", "arrow-left", label="Back"),
    2012: nav_button("secondary", "pressed", "arrow-left", label="Back"),
    2013: nav_button("primary", "normal", "arrow-right", "right", "Next"),
    2014: nav_button("primary", "pressed", "arrow-right", "right", "Next"),
    2015: nav_button("primary", "disabled", "arrow-right", "right", "Next"),
    2016: nav_button("secondary", "normal"),
    2017: nav_button("secondary", "pressed"),
    2018: lambda: radio_face(406, 33, False),
    2019: lambda: radio_face(406, 33, True),
    2020: lambda: radio_face(406, 33, False),
    2021: lambda: radio_face(406, 33, True),
    138: lambda: choice_face(207, 43, False),
    139: lambda: choice_face(207, 43, True),
    140: lambda: choice_face(207, 43, False),
    141: lambda: choice_face(207, 43, True),
    2022: start_button("primary", "normal", "download", "Start Software Download"),
    2023: start_button("primary", "pressed", "download", "Start Software Download"),
    2024: start_button("primary", "disabled", "download", "Start Software Download"),
    147: start_button("warning", "normal", "restart", "Restart Upgrade Utility"),
    148: start_button("warning", "pressed", "restart", "Restart Upgrade Utility"),
}
