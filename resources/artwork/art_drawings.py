"""Drawings of the hotspot, its battery compartment, the laptop, the USB cable, and small line glyphs.

The hotspot is drawn in a 200 x 124 box (front and back), the laptop in a 300 x 190 box; callers
place and scale them. Every document that uses them includes drawing_defs() once.
"""

from art_style import LED_BLUE, LED_GREEN, LED_WHITE, linear_gradient, soft_shadow_filter

DEVICE_W, DEVICE_H = 200, 124
LAPTOP_W, LAPTOP_H = 300, 190
LED_X = (70, 100, 130)
LED_Y = 60
PORT_Y = 62  # the USB socket on the right edge of the body
LED_COLOURS = {"blue": LED_BLUE, "white": LED_WHITE, "green": LED_GREEN}
LED_OFF = "#3E4550"


def drawing_defs():
    glows = "".join(
        f'<radialGradient id="glow-{name}"><stop offset="0" stop-color="{c}" stop-opacity="0.75"/>'
        f'<stop offset="1" stop-color="{c}" stop-opacity="0"/></radialGradient>'
        for name, c in LED_COLOURS.items())
    return (
        linear_gradient("dev-body", [(0, "#4A5059"), (0.08, "#30353C"), (1, "#17191D")])
        + linear_gradient("dev-face", [(0, "#24282E"), (1, "#131518")])
        + linear_gradient("dev-cover", [(0, "#3E444C"), (1, "#1F2226")])
        + linear_gradient("battery", [(0, "#F4F6F8"), (1, "#D5DBE1")])
        + linear_gradient("screen", [(0, "#E3EFFC"), (1, "#B8D4F3")])
        + linear_gradient("lap-base", [(0, "#E3E7EC"), (1, "#B4BBC4")])
        + linear_gradient("lap-lid", [(0, "#3A3F46"), (1, "#23272C")])
        + soft_shadow_filter("drop", blur=5, opacity=0.28, dy=5)
        + glows)


def _led_glyph(index, colour):
    """Battery, mobile signal and Wi-Fi symbols, the device's three LEDs."""
    x = LED_X[index]
    y = LED_Y
    if index == 0:
        return (f'<rect x="{x - 10}" y="{y - 6}" width="18" height="12" rx="2" fill="none" '
                f'stroke="{colour}" stroke-width="2"/>'
                f'<rect x="{x + 8}" y="{y - 3}" width="3" height="6" rx="1" fill="{colour}"/>'
                f'<rect x="{x - 7}" y="{y - 3}" width="11" height="6" fill="{colour}"/>')
    if index == 1:
        bars = "".join(f'<rect x="{x - 9 + i * 5}" y="{y + 6 - (i + 1) * 3.5}" width="3.4" '
                       f'height="{(i + 1) * 3.5}" rx="0.8" fill="{colour}"/>' for i in range(4))
        return bars
    return (f'<path d="M{x - 10} {y - 2}a14 14 0 0 1 20 0M{x - 6.5} {y + 1.5}a9 9 0 0 1 13 0" '
            f'fill="none" stroke="{colour}" stroke-width="2.2" stroke-linecap="round"/>'
            f'<circle cx="{x}" cy="{y + 5.5}" r="2.2" fill="{colour}"/>')


def device_front(x, y, scale=1.0, leds="off", pressed_buttons=False, cable_plugged=False):
    """The pocket hotspot seen from the front: network mark, three LEDs, buttons on the top edge."""
    parts = [f'<g transform="translate({x} {y}) scale({scale})">',
             '<g filter="url(#drop)">']
    # Buttons on the top edge stand out above the body: WPS on the left, POWER on the right.
    for bx in (34, 138):
        parts.append(f'<rect x="{bx}" y="-5" width="28" height="10" rx="3" fill="#5A616B"/>')
    parts.append('<rect x="0" y="0" width="200" height="124" rx="24" fill="url(#dev-body)"/>')
    parts.append('</g>')
    parts.append('<rect x="7" y="7" width="186" height="110" rx="18" fill="url(#dev-face)" '
                 'stroke="#3C424A" stroke-width="1"/>')
    parts.append('<path d="M16 14h168" stroke="#FFFFFF" stroke-opacity="0.10" stroke-width="2" '
                 'stroke-linecap="round"/>')
    # A faint diagonal sheen across the glossy face.
    parts.append('<path d="M25 7H118L74 117H25a18 18 0 0 1-18-18V25a18 18 0 0 1 18-18z" fill="#FFFFFF" '
                 'fill-opacity="0.04"/>')
    parts.append(_network_mark(22, 25))
    colour = LED_COLOURS.get(leds)
    for i in range(3):
        if colour:
            parts.append(f'<circle cx="{LED_X[i]}" cy="{LED_Y}" r="17" fill="url(#glow-{leds})"/>')
        parts.append(_led_glyph(i, colour or LED_OFF))
    parts.append(_brand_mark(100, 99, "#8C97A5"))
    # USB socket on the right edge.
    parts.append(f'<rect x="195" y="{PORT_Y - 8}" width="5" height="16" rx="1.5" fill="#0A0B0D"/>')
    if cable_plugged:
        parts.append(f'<rect x="199" y="{PORT_Y - 7}" width="22" height="14" rx="3" fill="#2C3036"/>')
    if pressed_buttons:
        for bx in (48, 152):
            parts.append(press_marker(bx, -12))
    parts.append('</g>')
    return "".join(parts)


def _network_mark(x, y):
    """The mobile network mark printed on the face: four rising bars."""
    return "".join(f'<rect x="{x + i * 6}" y="{y + 9 - (i + 1) * 2.5}" width="4" height="{(i + 1) * 2.5}" rx="1" '
                   f'fill="#D5DCE5"/>' for i in range(4))


def _brand_mark(cx, cy, colour):
    """The maker's mark: a small ring and a bar beside it."""
    return (f'<circle cx="{cx - 17}" cy="{cy}" r="3.5" fill="none" stroke="{colour}" stroke-width="1.6"/>'
            f'<rect x="{cx - 10}" y="{cy - 1.5}" width="30" height="3" rx="1.5" fill="{colour}"/>')


def press_marker(cx, cy):
    """A downward arrow with rings: 'press and hold here'."""
    return (f'<path d="M{cx} {cy - 34}v22M{cx - 7} {cy - 19}l7 7 7-7" fill="none" stroke="#F0A21A" '
            f'stroke-width="4" stroke-linecap="round" stroke-linejoin="round"/>')


def device_back_open(x, y, scale=1.0, reset_marker=False):
    """The body with its battery cover removed: battery, label and the reset hole."""
    parts = [f'<g transform="translate({x} {y}) scale({scale})">',
             '<rect x="0" y="0" width="200" height="124" rx="24" fill="url(#dev-body)" filter="url(#drop)"/>',
             '<rect x="12" y="12" width="176" height="100" rx="14" fill="#2B3037" stroke="#454C55"/>',
             '<rect x="22" y="20" width="118" height="84" rx="6" fill="url(#battery)" stroke="#A9B2BC"/>',
             # The cell's own print: a battery symbol and two lines of small type.
             '<rect x="66" y="43" width="26" height="14" rx="2.5" fill="none" stroke="#4A5563" stroke-width="2"/>',
             '<rect x="92" y="47" width="3" height="6" rx="1" fill="#4A5563"/>',
             '<rect x="69" y="46" width="13" height="8" rx="1" fill="#4A5563"/>',
             '<rect x="61" y="66" width="40" height="3" rx="1.5" fill="#8E99A6"/>',
             '<rect x="67" y="73" width="28" height="3" rx="1.5" fill="#8E99A6"/>',
             # The sticker with the default Wi-Fi and web passwords.
             '<rect x="148" y="68" width="32" height="36" rx="3" fill="#F7F8FA"/>',
             ''.join(f'<rect x="152" y="{73 + i * 7}" width="{24 - (i % 2) * 6}" height="3" rx="1" '
                     f'fill="#9AA5B1"/>' for i in range(4)),
             '<circle cx="164" cy="30" r="5" fill="#0B0C0E" stroke="#6B737D" stroke-width="1.5"/>',
             glyph("restart", 164, 53, 11, "#C9D1DA", 2.2)]
    if reset_marker:
        parts.append(f'<circle cx="164" cy="30" r="9" fill="none" stroke="#F0A21A" stroke-width="2.5"/>'
                     f'<circle cx="164" cy="30" r="14" fill="none" stroke="#F0A21A" stroke-width="1.5" '
                     f'stroke-opacity="0.6"/>')
    parts.append('</g>')
    return "".join(parts)


def battery_cover(x, y, scale=1.0):
    """The loose battery cover, with its grip ridges."""
    ridges = "".join(f'<path d="M{150 + i * 8} 40v44" stroke="#15171A" stroke-width="3" '
                     f'stroke-linecap="round"/>' for i in range(4))
    return (f'<g transform="translate({x} {y}) scale({scale})">'
            f'<rect x="0" y="0" width="200" height="124" rx="24" fill="url(#dev-cover)" filter="url(#drop)"/>'
            f'<rect x="6" y="6" width="188" height="112" rx="19" fill="none" stroke="#545B64"/>'
            f'{ridges}'
            f'{_brand_mark(70, 64, "#7E8896")}</g>')


def laptop(x, y, scale=1.0):
    """A laptop with the wizard open on its screen; its USB socket is on the left of the base."""
    return (
        f'<g transform="translate({x} {y}) scale({scale})">'
        '<g filter="url(#drop)">'
        '<rect x="30" y="0" width="240" height="162" rx="10" fill="url(#lap-lid)"/>'
        '<path d="M0 166h300l-12 20a6 6 0 0 1-5 3H17a6 6 0 0 1-5-3z" fill="url(#lap-base)"/>'
        '</g>'
        '<rect x="40" y="10" width="220" height="142" rx="3" fill="url(#screen)"/>'
        # The wizard on the screen: header band, a banner and a progress bar.
        '<rect x="72" y="30" width="156" height="102" rx="3" fill="#FFFFFF"/>'
        '<rect x="72" y="30" width="156" height="16" rx="3" fill="#0F2B46"/>'
        '<rect x="72" y="42" width="156" height="4" fill="#0F2B46"/>'
        '<rect x="84" y="58" width="132" height="12" rx="3" fill="#E6F0FB"/>'
        '<rect x="84" y="86" width="132" height="7" rx="3.5" fill="#D8DFE7"/>'
        '<rect x="84" y="86" width="84" height="7" rx="3.5" fill="#1F7BD8"/>'
        '<rect x="176" y="112" width="40" height="12" rx="3" fill="#1F7BD8"/>'
        '<path d="M0 166h300" stroke="#F5F7FA" stroke-width="2"/>'
        '<rect x="124" y="167" width="52" height="5" rx="2.5" fill="#A3ABB5"/>'
        '<rect x="1" y="171" width="4" height="9" rx="1" fill="#2D3137"/>'
        '</g>')


def laptop_port(x, y, scale=1.0):
    return x + 1 * scale, y + 175.5 * scale


def cable(x1, y1, x2, y2, plugged_at_start=True):
    """The USB cable from the device side at (x1, y1) to the laptop's socket at (x2, y2).

    Plugged, (x1, y1) is the end of the device's plug; unplugged, the loose plug's tip lies there.
    """
    end_x = x2 - 24
    start_x = x1 if plugged_at_start else x1 + 24
    k = max(30, (end_x - start_x) * 0.6)
    parts = [f'<path d="M{start_x} {y1}C{start_x + k} {y1} {end_x - k} {y2} {end_x} {y2}" fill="none" '
             f'stroke="#2C3036" stroke-width="5" stroke-linecap="round"/>',
             f'<rect x="{end_x}" y="{y2 - 6}" width="24" height="12" rx="3" fill="#2C3036"/>',
             f'<rect x="{x2 - 2}" y="{y2 - 4}" width="4" height="8" fill="#AEB6C0"/>']
    if not plugged_at_start:
        parts.append(f'<rect x="{x1}" y="{y1 - 7}" width="24" height="14" rx="3" fill="#2C3036"/>'
                     f'<rect x="{x1 - 6}" y="{y1 - 4}" width="6" height="8" fill="#AEB6C0"/>')
    return "".join(parts)


def connection_scene(plugged):
    """The hotspot joined to a laptop by its USB cable, in a 614 x 263 box (pictures 134 and 145)."""
    dev_x, dev_y, dev_s = 16, 112, 0.95
    lap_x, lap_y, lap_s = 304, 40, 1.0
    port_x, port_y = dev_x + 200 * dev_s, dev_y + PORT_Y * dev_s
    lap_port = laptop_port(lap_x, lap_y, lap_s)
    parts = [device_front(dev_x, dev_y, dev_s, leds="blue", cable_plugged=plugged),
             laptop(lap_x, lap_y, lap_s)]
    if plugged:
        parts.append(cable(port_x + 21 * dev_s, port_y, *lap_port))
    else:
        parts.append(cable(port_x + 36, port_y, *lap_port, plugged_at_start=False))
        parts.append(glyph("arrow-left", port_x + 18, port_y - 26, 22, "#F0A21A", 3))
    return "".join(parts)


# Line glyphs in a 24 x 24 box, drawn with a round stroke.
GLYPHS = {
    "check": '<path d="M6 12.5l4 4 8-9"/>',
    "cross": '<path d="M7.5 7.5l9 9M16.5 7.5l-9 9"/>',
    "alert": '<path d="M12 6v7.5"/><circle cx="12" cy="17.6" r="0.6"/>',
    "info": '<circle cx="12" cy="6.8" r="0.6"/><path d="M12 11v7"/>',
    "download": '<path d="M12 4.5v10M7.5 10.5l4.5 4.5 4.5-4.5M6 19h12"/>',
    "sync": '<path d="M18.5 10a7 7 0 0 0-12.6-2.6M5.5 14a7 7 0 0 0 12.6 2.6"/>'
            '<path d="M5.5 3.8v3.8h3.8M18.5 20.2v-3.8h-3.8"/>',
    "plug": '<path d="M9 3.5v4.5M15 3.5v4.5M7 8h10v3.5a5 5 0 0 1-10 0z M12 16.5v4"/>',
    "power": '<path d="M12 4v8"/><path d="M7.3 7.2a7 7 0 1 0 9.4 0"/>',
    "restart": '<path d="M5 12a7 7 0 1 0 2.1-5"/><path d="M6.5 3.5v4h4"/>',
    "arrow-right": '<path d="M5 12h13M13 7l5 5-5 5"/>',
    "arrow-left": '<path d="M19 12H6M11 7l-5 5 5 5"/>',
    "gear": '<circle cx="12" cy="12" r="3"/>'
            '<path d="M12 3.5v2.3M12 18.2v2.3M3.5 12h2.3M18.2 12h2.3M6 6l1.6 1.6M16.4 16.4L18 18'
            'M6 18l1.6-1.6M16.4 7.6L18 6"/><circle cx="12" cy="12" r="6.3"/>',
}


def glyph(name, cx, cy, size, colour, stroke_width=2.2):
    s = size / 24.0
    return (f'<g transform="translate({cx - size / 2} {cy - size / 2}) scale({s})" fill="none" '
            f'stroke="{colour}" stroke-width="{stroke_width / s:.3f}" stroke-linecap="round" '
            f'stroke-linejoin="round">{GLYPHS[name]}</g>')


def badge(name, cx, cy, radius, fill, colour="#FFFFFF", stroke_width=2.4):
    """A filled circle with a glyph in it."""
    return (f'<circle cx="{cx}" cy="{cy}" r="{radius}" fill="{fill}"/>'
            + glyph(name, cx, cy, radius * 1.25, colour, stroke_width))
