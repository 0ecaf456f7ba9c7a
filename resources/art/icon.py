"""Icon 128: "V7" on the title band's navy, with the accent cable underneath."""

from layout import C, FONT


def picture(size=32):
    k = size / 32.0
    body = (f'<rect width="32" height="32" fill="{C["header"]}"/>'
            f'<rect x="1" y="1" width="30" height="30" rx="5" fill="{C["header_hi"]}"/>'
            f'<text x="16" y="21" font-family="{FONT}" font-size="15" font-weight="bold" '
            f'fill="#ffffff" text-anchor="middle" letter-spacing="-0.5">V7</text>'
            f'<rect x="6" y="25" width="20" height="2.5" rx="1.25" fill="{C["screen_hi"]}"/>')
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 32 32"><g transform="scale({k})">{body}</g></svg>')
