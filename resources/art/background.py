"""The panel's background "V7BG": title band, the host PC and the V7 Station
linked by a cable, and calm plain areas where the buttons sit."""

import glyphs
from layout import C, FONT, FORM_W, FORM_H, button_rect

FOOTER_TOP = 250  # the band behind the power pair, Help and Exit


def _monitor(x, y, w, h, label, window):
    """A flat monitor on a stand with a keyboard, and its name below."""
    cx = x + w / 2
    sx, sy, sw, sh = x + 4, y + 4, w - 8, h - 8
    parts = [
        f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="4" fill="{C["device"]}"/>',
        f'<rect x="{sx}" y="{sy}" width="{sw}" height="{sh}" rx="1.5" fill="{C["screen"]}"/>',
        # a window on the screen, so each desk shows its own work
        f'<rect x="{sx + window[0]}" y="{sy + window[1]}" width="{window[2]}" height="{window[3]}" '
        f'rx="1" fill="{C["screen_hi"]}"/>',
        f'<rect x="{sx + window[0]}" y="{sy + window[1]}" width="{window[2]}" height="3" '
        f'fill="#ffffff" opacity="0.85"/>',
        f'<path d="M{cx - 5} {y + h}h10l2 9h-14z" fill="{C["device_hi"]}"/>',
        f'<rect x="{cx - 15}" y="{y + h + 9}" width="30" height="3" rx="1.5" fill="{C["device"]}"/>',
        f'<rect x="{cx - 27}" y="{y + h + 17}" width="48" height="8" rx="2" fill="{C["device_hi"]}"/>',
        f'<path d="M{cx - 24} {y + h + 20}h42M{cx - 24} {y + h + 23}h42" stroke="{C["device"]}" '
        f'stroke-width="0.8" stroke-dasharray="2.2 1.2"/>',
        f'<rect x="{cx + 25}" y="{y + h + 16}" width="7" height="10" rx="3.5" fill="{C["device_hi"]}"/>',
        f'<text x="{cx}" y="{y + h + 43}" font-family="{FONT}" font-size="11" font-weight="bold" '
        f'fill="{C["ink"]}" text-anchor="middle">{label}</text>',
    ]
    return "".join(parts)


def _scene():
    """Host and station on a white card to the right of the large buttons."""
    top = button_rect("BROADCAST")[1]
    bottom = sum(button_rect("TEST")[1::2])
    left, right = 258, 428
    out = [f'<rect x="{left}" y="{top + 1}" width="{right - left}" height="{bottom - top - 2}" rx="7" '
           f'fill="{C["card_shadow"]}"/>',
           f'<rect x="{left + 0.5}" y="{top + 0.5}" width="{right - left - 1}" height="{bottom - top - 3}" '
           f'rx="6.5" fill="{C["card"]}" stroke="{C["card_line"]}"/>']
    mw, mh, my = 70, 54, top + 40
    hx, stx = left + 10, right - 10 - mw
    # the cable: from the host's stand through the connector box to the station's
    cy = my + mh + 6
    box_x = (left + right) / 2 - 8
    out.append(f'<path d="M{hx + mw / 2 + 7} {cy}H{stx + mw / 2 - 7}" stroke="{C["cable"]}" '
               f'stroke-width="2.5" stroke-linecap="round" fill="none"/>')
    out.append(f'<rect x="{box_x}" y="{cy - 6}" width="16" height="12" rx="2.5" fill="{C["accent"]}"/>'
               f'<circle cx="{box_x + 5}" cy="{cy}" r="1.4" fill="#9fe0b5"/>'
               f'<rect x="{box_x + 8.5}" y="{cy - 1}" width="4" height="2" fill="#cfe0f2"/>')
    out.append(_monitor(hx, my, mw, mh, "Host PC", (5, 5, 30, 20)))
    out.append(_monitor(stx, my, mw, mh, "V7 Station", (18, 9, 30, 22)))
    out.append(f'<text x="{(left + right) / 2}" y="{top + 26}" font-family="{FONT}" font-size="12" '
               f'font-weight="bold" fill="{C["accent"]}" text-anchor="middle">One PC, two desks</text>')
    out.append(f'<text x="{(left + right) / 2}" y="{bottom - 18}" font-family="{FONT}" font-size="10" '
               f'fill="{C["ink_soft"]}" text-anchor="middle">Each user has a keyboard,</text>'
               f'<text x="{(left + right) / 2}" y="{bottom - 6}" font-family="{FONT}" font-size="10" '
               f'fill="{C["ink_soft"]}" text-anchor="middle">mouse and display.</text>')
    return "".join(out)


def _header():
    return (f'<defs><linearGradient id="band" x1="0" x2="1" y1="0" y2="0">'
            f'<stop offset="0" stop-color="{C["header"]}"/>'
            f'<stop offset="1" stop-color="{C["header_hi"]}"/></linearGradient></defs>'
            f'<rect width="{FORM_W}" height="38" fill="url(#band)"/>'
            f'<rect x="23" y="8" width="22" height="22" rx="5" fill="{C["accent"]}"/>'
            f'<text x="34" y="23.5" font-family="{FONT}" font-size="11" font-weight="bold" '
            f'fill="#ffffff" text-anchor="middle">V7</text>'
            f'<text x="54" y="25" font-family="{FONT}" font-size="16" font-weight="bold" '
            f'fill="{C["title"]}">Orvane V7 Control Center</text>'
            f'<text x="428" y="24" font-family="{FONT}" font-size="10" '
            f'fill="{C["subtitle"]}" text-anchor="end">two-user PC</text>')


def _footer():
    on_x, on_y, _, on_h = button_rect("ON")
    label_y = on_y + on_h / 2 + 4
    return (f'<rect y="{FOOTER_TOP}" width="{FORM_W}" height="{FORM_H - FOOTER_TOP}" fill="{C["footer"]}"/>'
            f'<path d="M0 {FOOTER_TOP + 0.5}H{FORM_W}" stroke="{C["rule"]}"/>'
            + glyphs.place(glyphs.power(C["ink_soft"], 2.4), on_x - 131, label_y - 10.5, 13)
            + f'<text x="{on_x - 8}" y="{label_y}" font-family="{FONT}" font-size="11" '
            f'font-weight="bold" fill="{C["ink_soft"]}" text-anchor="end">V7 Station power</text>')


def picture():
    body = (f'<rect width="{FORM_W}" height="{FORM_H}" fill="{C["page"]}"/>'
            + _header() + _scene() + _footer())
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{FORM_W}" height="{FORM_H}" '
            f'viewBox="0 0 {FORM_W} {FORM_H}">{body}</svg>')
