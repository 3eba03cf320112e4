"""What the three keypad forms share: the palette, keys and texts, the char hook, how the
dialog ends, and how it scales to fit the screen it opens on."""
import contextlib

import wx

import tov_wxtools

from . import theme
from .captions import caption, get_language
from .drawn import MIN_TOUCH, gap_px, smallest_key_px
from .keys import KeySurface, KeyWindow, Preview, TouchKey, fire_key
from .keystrokes import typed_char
from .texts import MASK, Caption, ValueField

GAP = 10       # px between keys at scale 1: about 2 mm on a 7" 800x480 panel (MIN_GAP at least)
BORDER = 14
PROMPT_POINTS = 16
FIELD_MIN_WIDTH = 160

# How a keypad uses a large screen: it grows until it fills this share of the work area's
# width or height, or reaches this many times its natural size.
COMFORT_WIDTH = 0.8
COMFORT_HEIGHT = 0.6
GROW_LIMIT = 2.0
MIN_SCALE = 0.2  # of captions and gaps, where the keys are at their floor already


# The physical keys that stand for the editing keys, by caption name.
EDITING_CODES = {
    "confirm": (wx.WXK_RETURN, wx.WXK_NUMPAD_ENTER),
    "backspace": (wx.WXK_BACK,),
    "clear": (wx.WXK_DELETE, wx.WXK_NUMPAD_DELETE),
    "cancel": (wx.WXK_ESCAPE,),
    "tab": (wx.WXK_TAB, wx.WXK_NUMPAD_TAB),
}


def font(points):
    return wx.Font(wx.FontInfo(points))


class Keypad(wx.Dialog):
    """The base of the three forms.

    A form builds its keys with _key(), its texts with _prompt()/_caption()/_value_field(),
    adds them to sizers with _add()/_grid() so that every gap scales, and ends with
    _set_layout(). window_fit_layout() then calls fit_into() with the room the screen has.
    """

    def __init__(self, parent, title, key_points, key_size):
        wx.Dialog.__init__(self, parent, wx.ID_ANY, title, style=wx.DEFAULT_DIALOG_STYLE)
        with self._building():
            # The settings as they are now: the keypad keeps them while it is open (a layout
            # switch redraws keys in them), whatever the application sets meanwhile.
            self.palette = theme.palette()
            self.language = get_language()
            self.SetBackgroundColour(self.palette.window)
            self._key_points = key_points
            self._key_font = font(key_points)
            self._key_size = key_size
            self._least = smallest_key_px(parent)  # px no key goes below
            self._scale = 1.0
            self._exact = True    # texts measured in the scale's own fonts, not in proportion
            self._borders = {}    # owner -> [(sizer item, gap at scale 1)]; None: the form's
            self._grid_gaps = []  # (grid sizer, gap at scale 1)
            self._scaled = None   # controls with set_scale(), found at the next fit
            self._keys_by_code = {}  # wx key code -> key
            self._keys_by_char = {}  # typed character -> keys with that caption
            self._first_key = None   # whose font tells how far the application enlarged keys
            self._preview = None     # what the pressed key types, above the finger
            self.Bind(wx.EVT_CHAR_HOOK, self._on_char_hook)
            self.Bind(wx.EVT_CLOSE, self._on_close)
            self.Bind(wx.EVT_ICONIZE, self._on_iconize)
            self.Bind(wx.EVT_MAXIMIZE, self._on_maximize)

    # -- building ------------------------------------------------------------------------------

    @contextlib.contextmanager
    def _building(self):
        """Destroys the half-built dialog when building fails, whatever the exception: a
        dialog left behind is a hidden top-level window that keeps the application alive."""
        try:
            yield
        except BaseException:
            self.Destroy()
            raise

    def _key(self, caption, handler=None, parent=None, id=wx.ID_ANY, char=None, units=1.0,
             repeat=False, face=None, alternatives="", kind=TouchKey):
        """A touch key `units` keys wide, on the group `parent`, or else on a window of its own
        (a child of `parent`, or of the dialog). `char` is what a physical keystroke must type
        to fire it (and what the key previews while pressed); holding it offers
        `alternatives`."""
        size = (self._key_size[0] * units, self._key_size[1])
        surface = parent if isinstance(parent, KeySurface) else self._surface(
            KeyWindow, parent)
        key = kind(surface, id, caption, floor=size, base_points=self._key_points,
                   repeat=repeat, face=face, alternatives=alternatives,
                   preview=char is not None, least=self._least)
        if self._first_key is None:
            self._first_key = key
        return self._wire(key, handler, char)

    def _editing_key(self, name, handler, id=wx.ID_ANY, parent=None):
        """The key of caption `name` (clear, confirm, cancel, backspace), with its physical
        keys; backspace repeats while held, confirm stands out, cancel has wx.ID_CANCEL."""
        if name == "cancel":
            id = wx.ID_CANCEL
        key = self._key(caption(name), handler, parent=parent, id=id,
                        repeat=name == "backspace")
        self._map_codes(key, *EDITING_CODES[name])
        if name == "confirm":
            self._style_confirm(key)
        return key

    def _wire(self, key, handler, char):
        if handler is not None:
            key.Bind(wx.EVT_BUTTON, handler)
        if char is not None:
            self._keys_by_char.setdefault(char, []).append(key)
        return key

    def _map_codes(self, key, *codes):
        for code in codes:
            self._keys_by_code[code] = key

    def _value_field(self, align, points, password=False, min_width=FIELD_MIN_WIDTH):
        field = ValueField(self, align, password, min_width, self.palette)
        field.SetFont(font(points))
        return field

    def _caption(self, text, points, parent=None):
        caption = Caption(parent or self, text, self.palette)
        caption.SetFont(font(points))
        return caption

    def _prompt(self, text):
        return self._caption(text, PROMPT_POINTS)

    def _style_confirm(self, key):
        key.SetBackgroundColour(self.palette.accent)
        key.SetForegroundColour(self.palette.accent_text)
        key.SetFont(self._key_font.Bold())

    def _group(self, orient=wx.HORIZONTAL, parent=None):
        """A panel that the keypad shows and hides as one, of the windows in its sizer."""
        panel = wx.Panel(parent or self)
        panel.SetBackgroundColour(self.palette.window)
        panel.SetSizer(wx.BoxSizer(orient))
        return panel

    def _surface(self, kind, parent=None):
        """A window that keys lie on: a KeyGroup, or the KeyWindow of one key."""
        surface = kind(parent or self, self.palette)
        surface.SetFont(self._key_font)
        return surface

    def _add(self, sizer, item, proportion=0, flag=0, gap=0, owner=None, index=None):
        """sizer.Add() (or Insert() at `index`) with a border of `gap` px at scale 1 that scales
        with the keys. The borders inside a part that is arranged again belong to it (`owner`).
        A key is added as the window it lies on."""
        if isinstance(item, TouchKey):
            item = item.GetParent()
        if index is None:
            added = sizer.Add(item, proportion, flag, self._px(gap))
        else:
            added = sizer.Insert(index, item, proportion, flag, self._px(gap))
        if gap:
            self._borders.setdefault(owner, []).append((added, gap))
        return added

    def _grid(self, rows=0, cols=0, bag=False):
        grid = wx.GridBagSizer(GAP, GAP) if bag else wx.GridSizer(rows, cols, GAP, GAP)
        self._grid_gaps.append((grid, GAP))
        return grid

    def _set_layout(self, body):
        outer = wx.BoxSizer(wx.VERTICAL)
        self._add(outer, body, 1, wx.EXPAND | wx.ALL, BORDER, owner="outer")
        self.SetSizer(outer)
        tov_wxtools.window_fit_layout(self)

    def _set_border(self, gap):
        """The border around everything, `gap` px at scale 1 (BORDER until laid out)."""
        outer = self.GetSizer()
        if outer is not None:
            self._borders["outer"] = [(outer.GetItem(0), gap)]

    # -- fitting the screen --------------------------------------------------------------------

    def _px(self, gap):
        return gap_px(gap, self._scale)

    def _apply_scale(self, scale, exact=True):
        self._scale, self._exact = scale, exact
        if self._scaled is None:
            self._scaled = [w for w in _descendants(self) if hasattr(w, "set_scale")]
        for widget in self._scaled:
            widget.set_scale(scale, exact)
        for borders in self._borders.values():
            for item, gap in borders:
                item.SetBorder(self._px(gap))
        for grid, gap in self._grid_gaps:
            grid.SetHGap(self._px(gap))
            grid.SetVGap(self._px(gap))
        self._before_measure()

    def _before_measure(self):
        # The prompt grows with the keys' font and wraps to the width of the keys rather than
        # widening the keypad.
        growth = self._first_key.GetFont().GetFractionalPointSize() / self._key_points
        self.ui_message.set_scale(self._scale * max(1.0, growth), self._exact)
        self.ui_message.wrap(self._keys.CalcMin().width)

    def _floor_scale(self):
        """The scale at which keys reach 44 px: the arrangements are chosen by what they need
        there, keys at their floor and captions still legible."""
        return MIN_TOUCH / float(min(self._key_size))

    def _need_at(self, scale, exact=False):
        """The size the keypad needs at `scale`: with its texts measured as they grow in
        proportion from scale 1, or `exact`ly as the scale's own fonts draw them."""
        self._apply_scale(scale, exact)
        return self.GetSizer().GetMinSize()

    def fit_into(self, room):
        """Scale keys, texts and gaps so that the client area fits `room` (a wx.Size).

        Where the keypad fits at its natural size it keeps it, or grows on a large screen;
        where it does not, everything shrinks evenly, keys down to their floor (44 px, or the
        size set_smallest_key() asked for). Returns the scale.
        """
        # The search measures texts in proportion: Pango loads each new size of a font afresh
        # (a fontconfig search, a millisecond each), and the search tries several sizes of five
        # fonts. The scale found is then laid out exactly, a hair smaller where hinting made
        # the texts wider than in proportion.
        scale = self._search_scale(room)
        for _ in range(3):
            if self._fits(self._need_at(scale, exact=True), room) or scale <= MIN_SCALE:
                break
            scale = max(MIN_SCALE, scale * 0.98)
        return scale

    def _search_scale(self, room):
        # Measured at scale 1 whatever the scale now: the same keys then always get the same
        # size, however often the keypad is fitted.
        scale = 1.0
        need = self._need_at(scale)
        width, height = need.width, need.height
        fits = min(room.width / width, room.height / height)
        if fits >= 1.0:
            wanted = max(1.0, min(COMFORT_WIDTH * room.width / width,
                                  COMFORT_HEIGHT * room.height / height, GROW_LIMIT))
        else:
            wanted = max(MIN_SCALE, fits)  # a room of no size (a sliver beside a control) too
        # Floors and rounding don't shrink in proportion: measure again and correct.
        for _ in range(3):
            if abs(wanted - scale) > 0.005:
                scale = wanted
                need = self._need_at(scale)
            if self._fits(need, room) or scale <= MIN_SCALE:
                return scale
            wanted = max(MIN_SCALE, scale * min(room.width / need.width,
                                                room.height / need.height) * 0.99)
        # Keys at their floor hardly shrink at all: search between the smallest scale and
        # this one for the largest that fits.
        low, high = MIN_SCALE, scale
        if self._fits(self._need_at(low), room):
            for _ in range(5):
                middle = (low + high) / 2
                low, high = (middle, high) if self._fits(self._need_at(middle), room) \
                    else (low, middle)
            # A hair inside the room rather than filling it to the pixel, as the corrections
            # above leave it: a window manager may hold a window as large as the screen back.
            low = max(MIN_SCALE, low * 0.99)
            self._need_at(low)
        return low

    @staticmethod
    def _fits(need, room):
        return need.width <= room.width and need.height <= room.height

    # -- under the finger -----------------------------------------------------------------------

    def show_preview(self, key):
        """The pressed `key` shows what it types above the finger (a dot where the value is
        masked)."""
        if self._preview is None:
            self._preview = Preview(self, self.palette)
        self._preview.show_over(key, MASK if self._masked() else key.face_text())

    def hide_preview(self, key):
        if self._preview:
            self._preview.hide_from(key)

    def _masked(self):
        return False

    def offer_area(self):
        """Where a held key's alternatives may go: below the value, which stays in view."""
        area = self.GetClientRect()
        fields = [w for w in self.GetChildren() if isinstance(w, ValueField) and w.IsShown()]
        if fields:
            top = max(field.GetRect().GetBottom() for field in fields) + 1
            area = wx.Rect(area.x, top, area.width, area.GetBottom() + 1 - top)
        return area

    # -- keystrokes ----------------------------------------------------------------------------

    def _on_char_hook(self, event):
        key = self._key_for_keystroke(event)
        if key is None:
            event.Skip()
        elif self._can_fire(key):
            fire_key(key)
        # A key that cannot fire swallows its keystroke: it is still that key's stroke.

    def _key_for_keystroke(self, event):
        if event.HasModifiers():  # Ctrl/Alt combinations are shortcuts, not typing
            return None
        key = self._keys_by_code.get(event.GetKeyCode())
        if key is not None:
            return key
        char = typed_char(event)
        keys = self._keys_by_char.get(char) if char is not None else None
        if not keys:
            return None
        for candidate in keys:
            if candidate.IsShownOnScreen():
                return candidate
        return keys[0]

    def _can_fire(self, key):
        # IsShown() is the key's own flag: keys inside a hidden panel still count, a key the
        # subclass hid does not.
        return key.IsEnabled() and key.IsShown()

    # -- ending --------------------------------------------------------------------------------

    # wx deletes a dialog with its parent, and one that was Destroy()ed at the next idle time:
    # inside ShowModal() (the keypad's loop, or an error box's above it) either would leave wx
    # running the rest of ShowModal() on freed memory (a crash, or a heap that aborts later).
    # While ShowModal() runs, the keypad leaves a parent that is being destroyed and ends as
    # cancelled, and a Destroy() ends it and waits for ShowModal() to return.

    _showing = False  # ShowModal() is running

    def ShowModal(self):
        parent = self.GetParent()
        self._showing, self._destroy_when_shown = True, False
        if parent:
            parent.Bind(wx.EVT_WINDOW_DESTROY, self._on_parent_destroyed)
        try:
            return wx.Dialog.ShowModal(self)
        finally:
            self._showing = False
            if parent:
                parent.Unbind(wx.EVT_WINDOW_DESTROY, handler=self._on_parent_destroyed)
            if self._destroy_when_shown:
                wx.Dialog.Destroy(self)

    def Destroy(self):
        if not self._showing:
            return wx.Dialog.Destroy(self)
        self._destroy_when_shown = True
        self._end_cancelled()
        return True

    def _on_parent_destroyed(self, event):
        event.Skip()
        parent = event.GetEventObject()
        if self._showing and parent is self.GetParent():
            parent.RemoveChild(self)
            self._end_cancelled()

    def _end_cancelled(self):
        if self.IsModal():
            self.EndModal(wx.ID_CANCEL)

    def _end(self, code):
        if self.IsModal():
            self.EndModal(code)
        else:
            self.SetReturnCode(code)
            self.Hide()

    def _on_cancel_key(self, event):
        self._end(wx.ID_CANCEL)

    def _on_close(self, event):
        self._end(wx.ID_CANCEL)

    # -- the window manager --------------------------------------------------------------------

    # Some window managers offer minimize on every title bar (openbox ignores the hint that a
    # dialog has none) and hide the application with it: a modal keypad would then swallow
    # every touch on a black screen. It comes straight back, with its application.
    def _on_iconize(self, event):
        if event.IsIconized():
            wx.CallAfter(self._come_back)

    def _come_back(self):
        if not self:
            return
        owner = self.GetParent()
        if owner is not None and owner.GetTopLevelParent().IsIconized():
            owner.GetTopLevelParent().Iconize(False)
        self.Iconize(False)
        self.Raise()

    def _on_maximize(self, event):
        # A keypad has the size it fitted itself to.
        wx.CallAfter(lambda: self and self.Maximize(False))


def _descendants(window):
    for child in window.GetChildren():
        yield child
        yield from _descendants(child)

