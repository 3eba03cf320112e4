"""The base of every control the keypads draw themselves: font, scale and colours.

Native GTK widgets cost a style look-up to create and to measure, measure without their theme
until shown, and take the theme's colours whatever the palette says. The keypads draw their
keys, captions and field instead, so a keypad opens at once, measures the same before and after
it is shown, and reads the same in every theme.
"""
import math
import numbers

import wx

from . import theme

MIN_TOUCH = 44  # px: no key, however tight the screen, gets smaller than this either way
MIN_GAP = 3     # px between keys, however tight the screen
MM_PER_INCH = 25.4

_smallest_key = None  # (millimetres, pixels per millimetre or None) that the application asked


def set_smallest_key(millimetres, pixels_per_mm=None):
    """Keys of every keypad opened from now on at least `millimetres` wide and high (15 for
    work gloves), measured with the density of the display the keypad opens on, or with
    `pixels_per_mm` where the application knows its panel better than the display reports.
    Never below 44 px. None: back to 44 px. Raises TypeError for anything but a number, as
    the other settings do, and ValueError for a number that is not positive and finite."""
    global _smallest_key
    for name, value in (("millimetres", millimetres), ("pixels_per_mm", pixels_per_mm)):
        if value is None:
            continue
        if isinstance(value, bool) or not isinstance(value, numbers.Real):
            raise TypeError("set_smallest_key() argument '%s' must be a number or None, not %s"
                            % (name, type(value).__name__))
        if not 0 < value < float("inf"):
            raise ValueError("a size and density must be positive numbers, not %r" % (value,))
    _smallest_key = None if millimetres is None else (millimetres, pixels_per_mm)


def get_smallest_key():
    """(millimetres, pixels per millimetre or None) as set, or None: 44 px."""
    return _smallest_key


def gap_px(gap, scale):
    """A gap of `gap` px at scale 1, at `scale`: never below MIN_GAP, and none stays none."""
    return max(MIN_GAP, int(round(gap * scale))) if gap else 0


def smallest_key_px(window=None):
    """The side in px no key may go below, on the display of `window` (else the first)."""
    if _smallest_key is None:
        return MIN_TOUCH
    millimetres, density = _smallest_key
    if density is None:
        index = wx.Display.GetFromWindow(window) if window else wx.NOT_FOUND
        ppi = wx.Display(max(0, index)).GetPPI()
        density = (ppi.width or 96) / MM_PER_INCH
    return max(MIN_TOUCH, int(math.ceil(millimetres * density)))
# Measured captions kept: the keys' own are a few hundred, but candidates and compositions are
# new text at every key press, and a panel runs for months.
EXTENTS_KEPT = 4096
FONTS_KEPT = 256

# Fonts scaled, shared by every control: a keypad's fit tries several scales, each for some
# thirty controls that draw in one and the same font.
_scaled_fonts = {}  # (description, scale) -> font


def describe(font):
    """The font's description, kept on the font (which is never changed once made): Pango
    writes it out afresh each time it is asked."""
    try:
        return font.tov_description
    except AttributeError:
        font.tov_description = description = font.GetNativeFontInfoDesc()
        return description


def scaled_font(font, scale):
    """`font` at `scale` times its size."""
    if scale == 1.0:
        return font
    key = (describe(font), scale)
    scaled = _scaled_fonts.get(key)
    if scaled is None:
        if len(_scaled_fonts) >= FONTS_KEPT:
            _scaled_fonts.clear()
        scaled = _scaled_fonts[key] = font.Scaled(scale)
    return scaled


class DrawnControl(wx.Control):
    """A control that paints itself with its own font, scaled by the keypad's fit.

    GetFont() is the font last given (what the application asked for); drawing uses that font
    times the scale that the keypad's fit chose (set_scale).
    """

    _gui_font = None
    _extents = {}  # (text, font description) -> (width, height): a Pango layout each time

    def __init__(self, parent, id=wx.ID_ANY, label="", palette=None):
        wx.Control.__init__(self, parent, id, style=wx.BORDER_NONE)
        self.SetBackgroundStyle(wx.BG_STYLE_PAINT)  # the paint handler covers every pixel
        self.palette = palette or theme.palette()
        self._font = self._default_font()
        self._scale = 1.0
        self._exact = True  # measure texts in the scale's own font, not in proportion
        self._drawing_font = None
        wx.Control.SetLabel(self, label)
        self.Bind(wx.EVT_PAINT, self._on_paint)

    @classmethod
    def _default_font(cls):
        # Asking the widget costs a style look-up per control; the answer is the same for all.
        if cls._gui_font is None:
            cls._gui_font = wx.SystemSettings.GetFont(wx.SYS_DEFAULT_GUI_FONT)
        return cls._gui_font

    def SetLabel(self, label):
        wx.Control.SetLabel(self, label)
        self._changed()

    def check_alive(self):
        """What a wx wrapper does for its own methods: a deleted control refuses calls."""
        if not self:
            raise RuntimeError("wrapped C/C++ object of type %s has been deleted"
                               % type(self).__name__)

    # The font stays here and never reaches the native widget: wx's own SetFont first compares
    # fonts, at some 45 us a control, then restyles GTK for a widget that never draws text.
    def SetFont(self, font):
        self._font = wx.Font(font)
        self._drawing_font = None
        self._changed()
        return True

    def GetFont(self):
        return wx.Font(self._font)

    def set_scale(self, scale, exact=True):
        if (scale, exact) != (self._scale, self._exact):
            self._scale, self._exact = scale, exact
            self._drawing_font = None
            self._changed()

    def scaled(self, pixels):
        return int(round(pixels * self._scale))

    def drawing_font(self):
        if self._drawing_font is None:
            self._drawing_font = scaled_font(self._font, self._scale)
        return self._drawing_font

    def text_size(self, text, font=None):
        """(width, height) of `text` in `font`, by default the control's at its scale (or its
        font at scale 1, times the scale, where the scale is not to be measured exactly)."""
        if font is None and not self._exact and self._scale != 1.0:
            width, height = self.text_size(text, self._font)
            return (int(math.ceil(width * self._scale)), int(math.ceil(height * self._scale)))
        font = font or self.drawing_font()
        key = (text, describe(font))
        size = self._extents.get(key)
        if size is None:
            if len(self._extents) >= EXTENTS_KEPT:
                self._extents.clear()
            size = self._extents[key] = tuple(self.GetFullTextExtent(text, font)[:2])
        return size

    def _changed(self):
        self.InvalidateBestSize()
        self.Refresh()

    def _on_paint(self, event):
        dc = wx.PaintDC(self)
        dc.SetBackground(wx.Brush(self.background()))
        dc.Clear()
        self.draw(dc, self.GetClientSize())

    def background(self):
        return self.GetParent().GetBackgroundColour()

    def draw(self, dc, size):
        raise NotImplementedError
