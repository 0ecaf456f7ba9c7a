"""Icon 128: "V7" on the title band's navy, with the accent cable underneath.

The built-in icon is an opaque square (an 8-bit picture has no transparency);
the desktop icon is the same tile with rounded corners left transparent, so no
dark corner shows on a light panel or dock.
"""

from layout import C, FONT

# Corner radius of the desktop icon's tile, on the 32-unit grid: large enough
# that even at 16 pixels the corner pixel lies wholly outside the curve.
TILE_RADIUS = 8


def picture(size=32, rounded=False):
    k = size / 32.0
    outer = f' rx="{TILE_RADIUS}"' if rounded else ""
    inner = TILE_RADIUS - 1 if rounded else 5
    body = (f'<rect width="32" height="32"{outer} fill="{C["header"]}"/>'
            f'<rect x="1" y="1" width="30" height="30" rx="{inner}" fill="{C["header_hi"]}"/>'
            f'<text x="16" y="21" font-family="{FONT}" font-size="15" font-weight="bold" '
            f'fill="#ffffff" text-anchor="middle" letter-spacing="-0.5">V7</text>'
            f'<rect x="6" y="25" width="20" height="2.5" rx="1.25" fill="{C["screen_hi"]}"/>')
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 32 32"><g transform="scale({k})">{body}</g></svg>')
