"""Palette, type and the SVG helpers every piece of the wizard's artwork shares."""

from xml.sax.saxutils import escape

# One palette for every page, banner and button face.
NAVY = "#0F2B46"
NAVY_LIGHT = "#1A436D"
ACCENT = "#1F7BD8"
ACCENT_DARK = "#1763B3"
ACCENT_DEEP = "#104C8C"
ACCENT_TINT = "#E6F0FB"
PAGE_BG = "#F4F6F9"
FOOTER_BG = "#E6EBF1"
PANEL = "#FFFFFF"
LINE = "#D2DAE4"
TEXT = "#1E2936"
MUTED = "#5A6B7D"
GREEN = "#2E9D55"
GREEN_TINT = "#E7F5EC"
AMBER = "#E39512"
AMBER_TINT = "#FDF3E1"
RED = "#D23C41"
RED_TINT = "#FBE9EA"
LED_BLUE = "#3D9BFF"
LED_WHITE = "#FFFFFF"
LED_GREEN = "#3DDC6E"

# Page geometry: header band, content area and the footer band that carries Back/Next/Exit.
PAGE_W, PAGE_H = 1024, 600
HEADER_H = 60
ACCENT_RULE_H = 3
FOOTER_Y = 512

# fontconfig resolves the family by name; Open Sans comes from the Debian package fonts-open-sans.
FONT = "'Open Sans', 'DejaVu Sans', sans-serif"


def svg_document(width, height, body, defs=""):
    return (
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
        f'viewBox="0 0 {width} {height}">\n<defs>{defs}</defs>\n{body}\n</svg>\n'
    )


def rect(x, y, w, h, fill, rx=0, stroke=None, stroke_width=1, extra=""):
    stroke_attr = f' stroke="{stroke}" stroke-width="{stroke_width}"' if stroke else ""
    return (f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{rx}" fill="{fill}"'
            f'{stroke_attr} {extra}/>')


def text(x, y, content, size, fill=TEXT, weight=400, anchor="start", extra=""):
    """A text element: only the step numbers in their discs are drawn as text; words are the wizard's."""
    return (f'<text x="{x}" y="{y}" font-family="{FONT}" font-size="{size}" font-weight="{weight}" '
            f'fill="{fill}" text-anchor="{anchor}" {extra}>{escape(content)}</text>')


def linear_gradient(gid, stops, x2="0", y2="1"):
    stop_tags = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in stops)
    return f'<linearGradient id="{gid}" x1="0" y1="0" x2="{x2}" y2="{y2}">{stop_tags}</linearGradient>'


def soft_shadow_filter(fid, blur=6, opacity=0.22, dy=4):
    return (f'<filter id="{fid}" x="-20%" y="-20%" width="140%" height="160%">'
            f'<feGaussianBlur in="SourceAlpha" stdDeviation="{blur}"/>'
            f'<feOffset dy="{dy}" result="b"/>'
            f'<feComponentTransfer><feFuncA type="linear" slope="{opacity}"/></feComponentTransfer>'
            f'<feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge></filter>')
