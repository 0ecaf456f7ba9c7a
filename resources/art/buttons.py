"""The button pictures: four states of each of the eight panel buttons.

Every picture is opaque. The pixels around a button's card carry the colour of
the form behind it, so a button placed a pixel off still blends in. U is a raised
white card; D is pushed in (darker, no shadow, content one pixel down and right);
F adds a two-pixel focus ring; X is flat and grey, except for the power pair,
whose X picture shows the station's state lit (see power()).
"""

import glyphs
from layout import C, FONT

GLYPHS = {
    "BROADCAST": glyphs.broadcast,
    "USER": glyphs.user_remove,
    "OPTIONS": glyphs.options,
    "TEST": glyphs.test,
    "HELP": glyphs.help_mark,
    "EXIT": glyphs.exit_door,
}


def _svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">{body}</svg>')


def _text(x, y, size, color, label, anchor="start", weight="bold"):
    return (f'<text x="{x}" y="{y}" font-family="{FONT}" font-size="{size}" '
            f'font-weight="{weight}" fill="{color}" text-anchor="{anchor}">{label}</text>')


def _card(x, y, w, h, r, state, behind):
    """The card of a button: its shadow, face, border and focus ring.

    Coordinates are the card's outer pixel edges; strokes sit on half pixels so
    every edge is one crisp pixel wide.
    """
    out = [f'<rect width="100%" height="100%" fill="{behind}"/>']
    if state in "UF":
        out.append(f'<rect x="{x}" y="{y + 1}" width="{w}" height="{h}" rx="{r}" '
                   f'fill="{C["card_shadow"]}"/>')
    face = {"U": C["card"], "F": C["card"], "D": C["card_down"], "X": C["dis_card"]}[state]
    line = C["dis_line"] if state == "X" else C["card_line"]
    top = y + 1 if state == "D" else y
    out.append(f'<rect x="{x + 0.5}" y="{top + 0.5}" width="{w - 1}" height="{h - 1}" '
               f'rx="{r - 0.5}" fill="{face}" stroke="{line}"/>')
    if state == "D":
        # An inner shadow along the top edge reads as pressed in.
        out.append(f'<path d="M{x + r} {top + 1.5}h{w - 2 * r}" stroke="{C["card_shadow"]}" '
                   f'stroke-width="1"/>')
    if state == "F":
        out.append(f'<rect x="{x + 1}" y="{y + 1}" width="{w - 2}" height="{h - 2}" '
                   f'rx="{r - 1}" fill="none" stroke="{C["accent"]}" stroke-width="2"/>')
    return "".join(out)


def large(name, label, state, w=220, h=45):
    """A main-task button: icon tile, label, and a chevron that says 'go'."""
    dx = dy = 1 if state == "D" else 0
    body = [_card(1, 1, w - 2, h - 3, 7, state, C["page"])]
    disabled = state == "X"
    ink = C["dis_ink"] if disabled else C["ink"]
    icon = C["dis_ink"] if disabled else C["accent"]
    tile = {"X": C["tile_dis"], "D": C["tile_down"]}.get(state, C["accent_soft"])
    body.append(f'<rect x="{9 + dx}" y="{8 + dy}" width="28" height="27" rx="6" fill="{tile}"/>')
    body.append(glyphs.place(GLYPHS[name](icon, 2.1), 13 + dx, 11.5 + dy, 20))
    body.append(_text(48 + dx, 27 + dy, 14, ink, label))
    chevron = C["dis_line"] if disabled else C["card_line"]
    body.append(f'<path d="M{203 + dx} {16 + dy}l5 5.5-5 5.5" fill="none" stroke="{chevron}" '
                f'stroke-width="2" stroke-linecap="round" stroke-linejoin="round"/>')
    return _svg(w, h, "".join(body))


def small(name, label, state, w=98, h=25):
    """Help and Exit: the same card as the large buttons, smaller."""
    dx = dy = 1 if state == "D" else 0
    body = [_card(1, 1, w - 2, h - 3, 5, state, C["footer"])]
    disabled = state == "X"
    ink = C["dis_ink"] if disabled else C["ink"]
    icon = C["dis_ink"] if disabled else C["accent"]
    body.append(glyphs.place(GLYPHS[name](icon, 2.2), 26 + dx, 4.5 + dy, 13))
    body.append(_text(45 + dx, 16 + dy, 12, ink, label))
    return _svg(w, h, "".join(body))


def power(name, label, state, w, h=20):
    """On and Off: together they show the station's state.

    The member that is disabled names the state the station is in, so its X
    picture is the lit one: a sunken segment with an indicator light (green
    "ON", slate "OFF"). The enabled member is an ordinary raised button, white
    like every other button of the panel, with the focus ring and the pressed
    look they have. Nothing green or red is ever something to press.

    The two pictures overlap by three pixels on the form (48 + 49 pixels for 45
    + 48 dialog-unit positions), so each leaves four pixels of plain background
    on the side that faces the other and neither depends on which one is on top.
    """
    x = 1 if name == "ON" else 4
    pw, ph, r = w - 5, 17, 5
    body = [f'<rect width="100%" height="100%" fill="{C["footer"]}"/>']
    if state == "X":
        lit = C["on"] if name == "ON" else C["off_lit"]
        edge = C["on_edge"] if name == "ON" else C["off_edge"]
        led = C["led_on"] if name == "ON" else C["led_off"]
        word = label.upper()
        # Sunken: no drop shadow, a darker rim and a shade along the top edge.
        body.append(f'<rect x="{x + 0.5}" y="1.5" width="{pw - 1}" height="{ph - 1}" rx="{r - 0.5}" '
                    f'fill="{lit}" stroke="{edge}"/>'
                    f'<path d="M{x + r} 2.5h{pw - 2 * r}" stroke="{edge}" stroke-width="1"/>')
        text_w = 8 * len(word)
        led_x = x + (pw - text_w - 8) / 2 + 2.5
        if name == "ON":
            body.append(f'<circle cx="{led_x}" cy="10" r="4" fill="{led}" opacity="0.35"/>')
        body.append(f'<circle cx="{led_x}" cy="10" r="2.5" fill="{led}"/>')
        body.append(_text(led_x + 5.5, 14, 10.5, "#ffffff", word))
        return _svg(w, h, "".join(body))

    dy = 1 if state == "D" else 0
    if state != "D":
        body.append(f'<rect x="{x}" y="2" width="{pw}" height="{ph}" rx="{r}" fill="{C["card_shadow"]}"/>')
    face = C["card_down"] if state == "D" else C["card"]
    body.append(f'<rect x="{x + 0.5}" y="{1.5 + dy}" width="{pw - 1}" height="{ph - 1}" rx="{r - 0.5}" '
                f'fill="{face}" stroke="{C["card_line"]}"/>')
    if state == "D":
        body.append(f'<path d="M{x + r} {2.5 + dy}h{pw - 2 * r}" stroke="{C["card_shadow"]}" stroke-width="1"/>')
    if state == "F":
        body.append(f'<rect x="{x + 1.5}" y="2.5" width="{pw - 3}" height="{ph - 3}" rx="{r - 1.5}" '
                    f'fill="none" stroke="{C["accent"]}" stroke-width="2"/>')
    body.append(_text(x + pw / 2 + dy, 14 + dy, 11, C["ink"], label, anchor="middle"))
    return _svg(w, h, "".join(body))


def picture(name, label, state, size):
    """The SVG of one button picture."""
    w, h = size
    if name in ("ON", "OFF"):
        return power(name, label, state, w, h)
    if name in ("HELP", "EXIT"):
        return small(name, label, state, w, h)
    return large(name, label, state, w, h)
