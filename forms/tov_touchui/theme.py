"""Colours of the keypads: one table per theme, and the choice among them.

A keypad paints everything with one palette: a forced background never meets the toolkit's
foreground. "system" picks the light, dark or high-contrast palette that matches the desktop,
so the keypad still looks at home there. Every text pair in a palette has at least 4.5:1
contrast, every key edge at least 3:1 against the dialog, and a pressed key's face at least
3:1 against its face at rest, so a touch shows even around a gloved finger (tests/test_screens.py
reads them back from the screen).
"""
import os

import wx

from . import settings

THEMES = ("system", "light", "dark", "high-contrast")

_PALETTES = {
    "light": {
        "window": (240, 242, 245), "text": (20, 24, 28),
        "field": (255, 255, 255), "field_text": (0, 0, 0), "field_edge": (96, 104, 112),
        "key": (255, 255, 255), "key_text": (20, 24, 28), "key_edge": (104, 112, 122),
        "key_pressed": (118, 134, 160), "key_pressed_text": (0, 0, 0),
        "key_disabled_text": (128, 134, 140),
        "accent": (24, 110, 56), "accent_text": (255, 255, 255),
        "modifier": (225, 225, 255), "modifier_text": (20, 24, 28),
        "latched": (255, 128, 0), "latched_text": (0, 0, 0),
    },
    "dark": {
        "window": (30, 32, 36), "text": (236, 239, 243),
        "field": (10, 11, 13), "field_text": (255, 255, 255), "field_edge": (150, 158, 168),
        "key": (58, 62, 70), "key_text": (242, 244, 247), "key_edge": (150, 158, 168),
        "key_pressed": (170, 180, 196), "key_pressed_text": (0, 0, 0),
        "key_disabled_text": (130, 136, 144),
        "accent": (36, 120, 60), "accent_text": (255, 255, 255),
        "modifier": (66, 62, 104), "modifier_text": (242, 244, 247),
        "latched": (240, 140, 40), "latched_text": (0, 0, 0),
    },
    "high-contrast": {
        "window": (0, 0, 0), "text": (255, 255, 255),
        "field": (0, 0, 0), "field_text": (255, 255, 255), "field_edge": (255, 255, 0),
        "key": (0, 0, 0), "key_text": (255, 255, 255), "key_edge": (255, 255, 255),
        "key_pressed": (255, 255, 255), "key_pressed_text": (0, 0, 0),
        "key_disabled_text": (150, 150, 150),
        "accent": (255, 255, 0), "accent_text": (0, 0, 0),
        "modifier": (0, 0, 0), "modifier_text": (255, 255, 255),
        "latched": (0, 255, 255), "latched_text": (0, 0, 0),
    },
}

# The keys the application colours itself get whichever of these reads better on the colour
# they were given.
_INKS = ((0, 0, 0), (255, 255, 255))

# The two colours the keypad class gives the shift keys (off, on), and the palette roles a key
# draws instead: the state shows in the theme's own colours, not as lavender on black.
STATE_ROLES = {(225, 225, 255): "modifier", (255, 128, 0): "latched"}
PRESSED_CONTRAST = 3.3  # 3:1 at least, with room for a display that rounds colours

_chosen = "system"


def set_theme(name):
    """Choose the colours of every keypad opened from now on: one of THEMES.

    Anything but a str raises TypeError, an unknown name ValueError; either way the setting
    stays as it was."""
    global _chosen
    text = settings.name_argument("set_theme", "name", name)
    found = settings.canonical(text, THEMES)
    if found is None:
        raise ValueError("theme must be one of %s, not %r" % (", ".join(THEMES), text))
    _chosen = found


def get_theme():
    """The theme chosen with set_theme() ("system" unless changed)."""
    return _chosen


class Palette(object):
    """A palette's colours as wx.Colour attributes (palette.window, palette.key_text...)."""

    def __init__(self, name):
        self.name = name
        for role, rgb in _PALETTES[name].items():
            setattr(self, role, wx.Colour(*rgb))


_palettes = {}


def palette():
    """The palette of the chosen theme, "system" resolved against the desktop now."""
    name = _chosen if _chosen != "system" else _system_palette_name()
    if name not in _palettes:
        _palettes[name] = Palette(name)
    return _palettes[name]


def _system_palette_name():
    theme = os.environ.get("GTK_THEME", "").lower()
    if "highcontrast" in theme.replace("-", "").replace(" ", ""):
        return "high-contrast"
    window = wx.SystemSettings.GetColour(wx.SYS_COLOUR_WINDOW)
    return "dark" if luminance(window) < 0.2 else "light"


def luminance(colour):
    """Relative luminance (sRGB, as the contrast guidelines define it), 0 to 1."""
    def channel(value):
        c = value / 255.0
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    red, green, blue = (colour.Red(), colour.Green(), colour.Blue()) \
        if isinstance(colour, wx.Colour) else colour[:3]
    return 0.2126 * channel(red) + 0.7152 * channel(green) + 0.0722 * channel(blue)


def contrast(first, second):
    """Contrast ratio of two colours, 1 to 21."""
    light, dark = sorted((luminance(first), luminance(second)), reverse=True)
    return (light + 0.05) / (dark + 0.05)


def ink_on(face):
    """Black or white, whichever reads better on `face`."""
    return wx.Colour(*max(_INKS, key=lambda ink: contrast(ink, face)))


def face_for(palette, colour):
    """(face, ink) a key given `colour` is drawn in: a shift state colour in the palette's role
    for it, any other colour as given with the ink that reads on it."""
    role = STATE_ROLES.get((colour.Red(), colour.Green(), colour.Blue()))
    if role is not None:
        return getattr(palette, role), getattr(palette, role + "_text")
    return wx.Colour(colour), ink_on(colour)


def pressed(palette, face):
    """(face, ink) of a key with `face` while the finger is on it: the palette's pressed colour
    where it stands out from `face` by PRESSED_CONTRAST, else `face` taken towards black or
    white (whichever has room) until it does."""
    if contrast(palette.key_pressed, face) >= PRESSED_CONTRAST:
        return palette.key_pressed, palette.key_pressed_text
    towards = 0 if luminance(face) > 0.18 else 255
    rgb = (face.Red(), face.Green(), face.Blue())
    for step in range(1, 11):
        mixed = tuple(int(round(c + (towards - c) * step / 10.0)) for c in rgb)
        if contrast(mixed, face) >= PRESSED_CONTRAST:
            break
    return wx.Colour(*mixed), ink_on(wx.Colour(*mixed))
