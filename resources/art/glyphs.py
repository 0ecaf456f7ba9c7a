"""Line icons drawn on a 24 x 24 grid; each returns SVG elements in that grid.

Strokes are round-capped so the icons stay soft when scaled down to 11 pixels.
"""


def _stroke(color, width):
    return (f'fill="none" stroke="{color}" stroke-width="{width}" '
            'stroke-linecap="round" stroke-linejoin="round"')


def broadcast(color, w=2.0):
    """A speech bubble with two lines of text: a message to the station."""
    s = _stroke(color, w)
    return (f'<path {s} d="M4 5.5h16a1.5 1.5 0 0 1 1.5 1.5v9a1.5 1.5 0 0 1-1.5 1.5H11l-4.5 3.5v-3.5H4'
            f'a1.5 1.5 0 0 1-1.5-1.5V7A1.5 1.5 0 0 1 4 5.5z"/>'
            f'<path {s} d="M7 10h10M7 13.5h6.5"/>')


def user_remove(color, w=2.0):
    """A person with a minus sign: remove a user."""
    s = _stroke(color, w)
    return (f'<circle {s} cx="9.5" cy="8" r="3.6"/>'
            f'<path {s} d="M2.5 20.5c0-4.2 3.1-6.8 7-6.8s7 2.6 7 6.8"/>'
            f'<path {s} d="M16.5 9.5h6"/>')


def options(color, w=2.0):
    """Three sliders: the station's settings."""
    s = _stroke(color, w)
    return (f'<path {s} d="M3 6h18M3 12h18M3 18h18"/>'
            f'<circle cx="8" cy="6" r="2.6" fill="{color}"/>'
            f'<circle cx="16" cy="12" r="2.6" fill="{color}"/>'
            f'<circle cx="10.5" cy="18" r="2.6" fill="{color}"/>')


def test(color, w=2.0):
    """A monitor with a check mark: test the station."""
    s = _stroke(color, w)
    return (f'<rect {s} x="2.5" y="3.5" width="19" height="13.5" rx="1.8"/>'
            f'<path {s} d="M9 21h6M12 17v4"/>'
            f'<path {s} d="M8 10.5l2.8 2.8 5.2-5.6"/>')


def help_mark(color, w=2.0):
    """A question mark in a circle."""
    s = _stroke(color, w)
    return (f'<circle {s} cx="12" cy="12" r="9.5"/>'
            f'<path {s} d="M9.3 9.4a2.8 2.8 0 0 1 5.4 1c0 1.9-2.7 2.4-2.7 4"/>'
            f'<circle cx="12" cy="17.6" r="1.3" fill="{color}"/>')


def exit_door(color, w=2.0):
    """An arrow leaving a door frame."""
    s = _stroke(color, w)
    return (f'<path {s} d="M10 3.5H5a1.5 1.5 0 0 0-1.5 1.5v14A1.5 1.5 0 0 0 5 20.5h5"/>'
            f'<path {s} d="M10 12h11M17 8l4 4-4 4"/>')


def power(color, w=2.0):
    """The power symbol."""
    s = _stroke(color, w)
    return (f'<path {s} d="M7.2 6.6a8 8 0 1 0 9.6 0"/>'
            f'<path {s} d="M12 3v8.5"/>')


def place(elements, x, y, size):
    """Glyph elements scaled from the 24 grid into a size x size square at (x, y)."""
    k = size / 24.0
    return f'<g transform="translate({x} {y}) scale({k:.5f})">{elements}</g>'
