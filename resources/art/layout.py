"""The panel's geometry and colours, shared by every picture and the preview.

The form is 300 x 203 dialog units; at the standard base units of 6 x 13 pixels a
dialog unit is 6/4 pixel across and 13/8 pixel down, so the form is 450 x 330.
Positions round to the nearest pixel, halves away from zero, as the window system
maps dialog units.
"""

FORM_W, FORM_H = 450, 330
BASE_X, BASE_Y = 6, 13


def du_to_px(x, y):
    """A dialog-unit point in pixels, halves rounded away from zero."""
    return (x * BASE_X * 2 + 4) // 8, (y * BASE_Y * 2 + 8) // 16


# Caption, label, dialog-unit position and picture size of each button, in tab order.
# (The panel's code keeps the room each text of the pictures has, in its table
# of labels: a text moved or made larger here is moved or made larger there.)
BUTTONS = [
    ("BROADCAST", "Send a message", (15, 30), (220, 45)),
    ("USER", "Remove a user", (15, 60), (220, 45)),
    ("OPTIONS", "Station options", (15, 90), (220, 45)),
    ("TEST", "Test the station", (15, 120), (220, 45)),
    ("ON", "On", (135, 182), (48, 20)),
    ("OFF", "Off", (165, 182), (49, 20)),
    ("HELP", "Help", (220, 160), (98, 25)),
    ("EXIT", "Exit", (220, 180), (98, 25)),
]

STATES = "UDFX"  # normal, pressed, focused, disabled


def button_rect(name):
    """(x, y, w, h) of a button on the form, in pixels."""
    for caption, _, du, size in BUTTONS:
        if caption == name:
            x, y = du_to_px(*du)
            return x, y, size[0], size[1]
    raise KeyError(name)


# The calm, cool palette of the whole panel.
C = {
    "page": "#eef2f7",        # the form behind the large buttons
    "header": "#1d3557",      # the title band
    "header_hi": "#274872",
    "title": "#ffffff",
    "subtitle": "#a9bfd9",
    "footer": "#e2e8f0",      # the band behind power, help and exit
    "rule": "#cfd8e3",
    "ink": "#1f2d3d",         # text
    "ink_soft": "#5b6b7f",
    "card": "#ffffff",
    "card_down": "#e6ecf3",
    "card_line": "#c3cedb",
    "card_shadow": "#d3dbe5",
    "accent": "#2f6fb2",      # focus ring, icons
    "accent_soft": "#dde9f6",
    "on": "#2e9a5a",          # the lit ON segment: the station is on
    "on_edge": "#1f7443",
    "led_on": "#c8f7d9",
    "off_lit": "#4b5b70",     # the lit OFF segment: the station is off
    "off_edge": "#36445a",
    "led_off": "#8d9bab",     # an indicator light that is out
    "dis_card": "#f3f5f8",
    "dis_line": "#d9dfe7",
    "dis_ink": "#a6b0bd",
    "screen": "#2c5d8f",
    "screen_hi": "#5b8fc4",
    "device": "#3b4a5c",
    "device_hi": "#596a7f",
    "cable": "#2f6fb2",
    "tile_down": "#cfdcec",   # a large button's icon tile, pressed and disabled
    "tile_dis": "#eaeef3",
}

# The same design for a dark desktop theme: deep slate form and cards, light
# text, a lighter accent; the lit power segments keep their colours.
C_DARK = dict(C, **{
    "page": "#1b222c",
    "header": "#0f1c2e",
    "header_hi": "#1a3354",
    "subtitle": "#8fa6c2",
    "footer": "#161c24",
    "rule": "#2b3542",
    "ink": "#e3e9f1",
    "ink_soft": "#9aa8b8",
    "card": "#26303c",
    "card_down": "#1f2833",
    "card_line": "#3a4757",
    "card_shadow": "#11161d",
    "accent": "#5b9be0",
    "accent_soft": "#253a53",
    "off_lit": "#56677d",
    "off_edge": "#6b7d93",
    "led_off": "#a9b5c4",
    "dis_card": "#1f2630",
    "dis_line": "#2d3743",
    "dis_ink": "#5d6977",
    "device": "#4a5a6e",
    "device_hi": "#66788e",
    "cable": "#5b9be0",
    "tile_down": "#1d3047",
    "tile_dis": "#232b35",
})

# The suffix of a dark picture's name: V7BG_DARK is V7BG in C_DARK.
DARK_SUFFIX = "_DARK"

FONT = "DejaVu Sans"
