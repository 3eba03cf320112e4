"""The keys: light objects that the surface they lie on draws and touches (a group of many
keys, or a window of one), the row of alternatives a held key offers, and the preview of what
the key under the finger types.

A native window per key costs its creation, its mapping and a paint of its own: a text
keyboard has a hundred keys, and a panel's CPU would show it opening. A surface is one window
for the whole group, however many keys it holds.
"""
import math

import wx

from . import theme
from .drawn import MIN_TOUCH, DrawnControl, gap_px, scaled_font

KEY_RADIUS = 6
KEY_EDGE = 2           # px, at scale 1: a key's boundary must stand out from the dialog
KEY_PADDING = (14, 10)  # around the caption, for the key's own best size
REPEAT_DELAY_MS = 450   # a held repeating key (backspace) starts repeating after this...
REPEAT_EVERY_MS = 90    # ... and then fires at this steady rate
HOLD_MS = 450           # a key with alternatives held this long offers them
PREVIEW_GROW = 1.6      # the preview's caption, times the key's
PREVIEW_LIFT = 6        # px between the preview and the key under it, at scale 1


_TOUCH_EVENTS = wx.PyEventBinder([wx.wxEVT_LEFT_DOWN, wx.wxEVT_LEFT_DCLICK, wx.wxEVT_LEFT_UP,
                                  wx.wxEVT_MOTION])


def fire_key(key):
    """Send `key` the EVT_BUTTON a touch would, through its own handlers."""
    event = wx.CommandEvent(wx.wxEVT_BUTTON, key.GetId())
    event.SetEventObject(key)
    key.ProcessEvent(event)


class TouchKey(wx.EvtHandler):
    """A key: behaves as a push button and sends EVT_BUTTON, from itself, to the handlers bound
    on it (key.Bind(wx.EVT_BUTTON, handler)). It is no window: its surface draws it at `rect`
    and passes it the touches that land there.

    It looks pressed while the finger is down, fires on release over the key, fires nothing
    when the finger slides off first, and is grey and dead while disabled. A repeating key
    (backspace) held down fires after a short delay and then at a steady rate, and not again
    on release. A key with `alternatives` (é è ê for e) held down offers them in a row above
    it: sliding onto one and lifting, or lifting and then tapping one, sends EVT_BUTTON with
    this key's id from that alternative, so the handler reads the alternative's label.
    GetLabel() is the caption exactly as given ("&" included: nothing here reads mnemonics);
    the face may show another text (`face`), e.g. a symbol for Space. A key that types
    (`preview`) shows what it types above the finger while pressed, through its dialog's
    show_preview(). The shift colours the keypad class gives (SetBackgroundColour) are drawn
    in the palette's own colours for those states; GetBackgroundColour() returns what was given.

    It answers what the keypads and their callers ask of a button: label, id, colours, font,
    enabled and shown (a window's own flag), and where it is on the screen.

    `floor` is the key's smallest size at scale 1 for a font of `base_points`: a bigger font
    scales the floor with it, and the keypad's fit scales everything, but never below `least`
    px (44, or what the application asked for gloves).
    """

    def __init__(self, surface, id=wx.ID_ANY, label="", floor=(MIN_TOUCH, MIN_TOUCH),
                 base_points=None, repeat=False, face=None, alternatives="", preview=False,
                 least=MIN_TOUCH):
        wx.EvtHandler.__init__(self)
        self._surface = surface
        # Each key an id of its own, as each button has: handlers may tell keys apart by it.
        self._reserved = id == wx.ID_ANY
        self._id = wx.Window.NewControlId() if self._reserved else id
        self._label = label
        self._floor = floor
        self._least = least
        self._base_points = base_points
        self._face_text = face
        self._font = None          # the key's own, else its surface's
        self._best = {}            # scale -> best size: a keypad's fit asks many times
        self._given = self._face = surface.palette.key
        self._ink = surface.palette.key_text
        self._preview = preview
        self._repeat = repeat
        self._alternatives = alternatives
        self._enabled = self._shown = True
        self.lit = False         # drawn pressed: the finger is on it
        self._rect = wx.Rect()   # set by the surface as it places its keys
        surface.add_key(self)

    @property
    def rect(self):
        """Where the key is, in its surface's pixels."""
        self._surface.place_keys()
        return self._rect

    # -- what callers ask and change -------------------------------------------------------

    def GetId(self):
        return self._id

    def GetLabel(self):
        return self._label

    def SetLabel(self, label):
        if label != self._label:
            self._label = label
            self._best = {}
            self._surface.key_changed()

    def GetParent(self):
        return self._surface

    def GetTopLevelParent(self):
        return self._surface.GetTopLevelParent()

    def GetEventHandler(self):
        return self  # a key has no handlers pushed on it: its own are the ones

    def GetChildren(self):
        return []

    def SetBackgroundColour(self, colour):
        self._given = wx.Colour(colour)
        self._face, self._ink = theme.face_for(self.palette, self._given)
        self.Refresh()
        return True

    def GetBackgroundColour(self):
        return wx.Colour(self._given)

    def SetForegroundColour(self, colour):
        self._ink = wx.Colour(colour)
        self.Refresh()
        return True

    def GetForegroundColour(self):
        return wx.Colour(self._ink)

    def SetFont(self, font):
        self._font = wx.Font(font)
        self._best = {}
        self._surface.key_changed()
        return True

    def GetFont(self):
        return wx.Font(self._font) if self._font is not None else self._surface.GetFont()

    def Enable(self, enable=True):
        changed = bool(enable) != self._enabled
        self._enabled = bool(enable)
        if changed:
            self.Refresh()
        return changed

    def Disable(self):
        return self.Enable(False)

    def IsEnabled(self):
        return self._enabled and self._surface.IsEnabled()

    def Show(self, show=True):
        changed = bool(show) != self._shown
        self._shown = bool(show)
        if changed:
            self._surface.key_shown(self)
        return changed

    def Hide(self):
        return self.Show(False)

    def IsShown(self):
        return self._shown

    def IsShownOnScreen(self):
        return self._shown and self._surface.IsShownOnScreen()

    def GetRect(self):
        return wx.Rect(self.rect)

    def GetSize(self):
        return self.rect.GetSize()

    def GetScreenPosition(self):
        return self._surface.ClientToScreen(self.rect.GetPosition())

    def GetScreenRect(self):
        return wx.Rect(self.GetScreenPosition(), self.rect.GetSize())

    def GetBestSize(self):
        return self.best_size()

    def HasCapture(self):
        """Whether a touch on this key holds the pointer (its surface holds it for the key)."""
        return self._surface._down is self and self._surface.HasCapture()

    def Refresh(self):
        if self._shown and self._surface:
            self._surface.RefreshRect(self.rect)

    @property
    def palette(self):
        return self._surface.palette

    @property
    def scale(self):
        return self._surface._scale

    # -- size and look ---------------------------------------------------------------------

    def face_text(self):
        """What the key face shows: the caption unless the form gave the key a symbol."""
        return self._face_text if self._face_text is not None else self._label

    def measured_text(self):
        """The text the key's size is made for."""
        return self.face_text() or "M"

    def drawing_font(self):
        if self._font is None:
            return self._surface.drawing_font()
        return scaled_font(self._font, self.scale)

    def face_font(self, width):
        """The font the face is drawn in, on a key `width` px wide."""
        return self.drawing_font()

    def best_size(self):
        scale = self.scale
        size = self._best.get(scale)
        if size is None:
            if len(self._best) > 8:  # a fit's search tries a handful of scales
                self._best.clear()
            size = self._best[scale] = self._measure()
        return size

    def _measure(self):
        # The height is the font's, not the caption's: a symbol from a fallback font (⌫) is
        # taller, and keys in one row or column must stay in line. Measured in the font at
        # scale 1, then scaled: a fit tries several scales, and Pango loads each new size of a
        # font afresh (a fontconfig search), where the text only grows in proportion, give or
        # take the pixel that the key's padding takes.
        surface = self._surface
        font, scale = (self._font if self._font is not None else surface._font), self.scale
        width = int(math.ceil(surface.text_size(self.measured_text(), font)[0] * scale))
        height = int(math.ceil(surface.text_size("Mg", font)[1] * scale))
        grow = 1.0
        if self._base_points:
            grow = max(1.0, self.GetFont().GetFractionalPointSize() / self._base_points)
        floor_w = max(self._least, surface.scaled(self._floor[0] * grow))
        floor_h = max(self._least, surface.scaled(self._floor[1] * grow))
        return wx.Size(max(floor_w, width + 2 * surface.scaled(KEY_PADDING[0])),
                       max(floor_h, height + 2 * surface.scaled(KEY_PADDING[1])))

    def draw(self, dc):
        face, ink = self._face, self._ink
        if not self.IsEnabled():
            ink = self.palette.key_disabled_text
        elif self.lit:
            face, ink = theme.pressed(self.palette, face)
        rect = self.rect
        draw_key(dc, self._surface, rect, face, ink, self.face_text(),
                 self.face_font(rect.width))


def draw_key(dc, control, rect, face, ink, text, font):
    """A key's face at `rect` of `control`: rounded, framed in the palette's edge colour, the
    text centred. Two fills rather than a fill and a stroke: cairo strokes a curve slowly."""
    edge = max(1, control.scaled(KEY_EDGE))
    radius = control.scaled(KEY_RADIUS)
    dc.SetPen(wx.TRANSPARENT_PEN)
    dc.SetBrush(wx.Brush(control.palette.key_edge))
    dc.DrawRoundedRectangle(rect, radius)
    dc.SetBrush(wx.Brush(face))
    dc.DrawRoundedRectangle(wx.Rect(rect).Deflate(edge), max(1, radius - edge))
    if text:
        dc.SetFont(font)
        dc.SetTextForeground(ink)
        text_width, text_height = control.text_size(text, font)
        dc.DrawText(text, rect.x + (rect.width - text_width) // 2,
                    rect.y + (rect.height - text_height) // 2)


class KeySurface(DrawnControl):
    """A window that draws its keys and makes them behave under the finger (see TouchKey).

    The finger's touch belongs to the key it went down on until it lifts: the surface holds
    the pointer meanwhile, so the release comes here even off the key.
    """

    def __init__(self, parent, palette):
        DrawnControl.__init__(self, parent, wx.ID_ANY, "", palette)
        self.SetCanFocus(False)  # a keystroke reaches keys through the keypad's char hook only
        self._keys = []
        self._down = None    # the key the finger went down on, until it lifts
        self._over = False   # ... and whether the finger is over it now
        self._held = False   # the hold did its work (repeated, or offered the alternatives)
        self._offer = None   # the row of alternatives on offer
        self._hold_timer = None
        self._placed = False  # the keys' rects are those of the surface's size and keys now
        # One binding for the four mouse events: fewer bindings, quicker to open.
        self.Bind(_TOUCH_EVENTS, self._on_mouse)
        self.Bind(wx.EVT_MOUSE_CAPTURE_LOST, self._on_capture_lost)
        self.Bind(wx.EVT_SIZE, self._on_size)
        self.Bind(wx.EVT_WINDOW_DESTROY, self._on_destroy)

    def add_key(self, key):
        self._keys.append(key)
        self._changed()

    def keys(self):
        """The keys on this surface, shown or not."""
        return list(self._keys)

    # As a panel of buttons would: code that walks a keypad's windows for its keys finds them.
    GetChildren = keys

    def clear(self):
        """Takes every key off, to be filled again."""
        self._release()
        self._let_go(self._keys)
        self._keys = []
        self.key_changed()

    def key_changed(self):
        """A key's caption, font or visibility changed: it may need another size."""
        self._changed()

    def SetFont(self, font):
        for key in self._keys:
            key._best = {}
        return DrawnControl.SetFont(self, font)

    def key_shown(self, key):
        self.key_changed()

    def key_at(self, point):
        return next((key for key in self._keys if key._shown and key.rect.Contains(point)),
                    None)

    def _changed(self):
        self._placed = False
        DrawnControl._changed(self)

    def place_keys(self):
        """Sets each key's rect for the surface's size, where that is not done yet."""
        if not self._placed:
            self._placed = True
            self.place()

    def place(self):
        raise NotImplementedError

    def _on_size(self, event):
        event.Skip()
        self._placed = False

    def draw(self, dc, size):
        clip = self.GetUpdateClientRect()
        for key in self._keys:
            if key._shown and clip.Intersects(key.rect):
                key.draw(dc)

    # -- touch -----------------------------------------------------------------------------

    def _on_mouse(self, event):
        kind = event.GetEventType()
        if kind in (wx.wxEVT_LEFT_DOWN, wx.wxEVT_LEFT_DCLICK):  # a quick second tap presses too
            self._on_down(event.GetPosition())
        elif kind == wx.wxEVT_LEFT_UP:
            self._on_up(event.GetPosition())
        elif kind == wx.wxEVT_MOTION:
            self._on_motion(event.GetPosition())

    def _on_down(self, point):
        if not isinstance(self, Alternatives):
            Alternatives.close_any()  # a touch anywhere else withdraws the offer
        key = self.key_at(point)
        if key is None or not key.IsEnabled() or self._down is not None:
            return
        if not self.HasCapture():
            self.CaptureMouse()
        self._down, self._over, self._held = key, True, False
        if key._repeat or key._alternatives:
            if self._hold_timer is None:
                self._hold_timer = wx.Timer(self)
                self.Bind(wx.EVT_TIMER, self._on_hold, self._hold_timer)
            self._hold_timer.StartOnce(REPEAT_DELAY_MS if key._repeat else HOLD_MS)
        self._light(key, True)
        self._show_preview(key, True)

    def _on_motion(self, point):
        key = self._down
        if key is None:
            return
        if self._offer:
            self._offer.slide(self.ClientToScreen(point))
        over = key.rect.Contains(point)
        if over != self._over:
            self._over = over
            self._light(key, over)
            self._show_preview(key, over and not self._offer)

    def _on_up(self, point):
        key = self._down
        if key is None:
            return
        offer, fire = self._offer, key.rect.Contains(point) and not self._held
        self._release()
        if offer:
            offer.lift()  # chooses the alternative under the finger, or stays for a tap
        elif fire:
            self.fire(key)  # last: the handler may end the dialog or destroy it

    def fire(self, key):
        fire_key(key)

    def _on_capture_lost(self, event):
        self._release(capture_lost=True)

    def _release(self, capture_lost=False):
        key, self._down, self._over = self._down, None, False
        if key is not None:
            self._show_preview(key, False)
            self._light(key, False)
        if self._hold_timer is not None:
            self._hold_timer.Stop()
        if not capture_lost and self.HasCapture():
            self.ReleaseMouse()

    def _on_hold(self, event):
        key = self._down
        if key is None or not (self._over and key.IsEnabled()):
            return  # slid off: wait for the finger to come back or lift
        if key._repeat:
            if not self._held:
                self._hold_timer.Start(REPEAT_EVERY_MS)
            self._held = True
            self.fire(key)
        elif not self._held:
            self._held = True
            self._show_preview(key, False)  # the offer takes its place
            self._offer = Alternatives(key, key._alternatives)

    def offer_closed(self):
        self._offer = None

    @staticmethod
    def _light(key, lit):
        key.lit = lit
        key.Refresh()

    @staticmethod
    def _show_preview(key, show):
        if key._preview:
            dialog = key.GetTopLevelParent()
            toggle = getattr(dialog, "show_preview" if show else "hide_preview", None)
            if toggle is not None:
                toggle(key)

    def _on_destroy(self, event):
        event.Skip()
        if event.GetEventObject() is self:
            if self._hold_timer is not None:
                self._hold_timer.Stop()
            self._let_go(self._keys)

    @staticmethod
    def _let_go(keys):
        # A handler bound on a key is held where the garbage collector cannot see it: the
        # key, its keypad and the handler would keep one another alive for good. The ids
        # go back too: there are some thirty thousand, and a panel opens keypads for months.
        for key in keys:
            key.Unbind(wx.EVT_BUTTON)
            if key._reserved:
                key._reserved = False
                wx.Window.UnreserveControlId(key._id)


class KeyWindow(KeySurface):
    """The surface of one key, which fills it: a key that sizers place on its own (the
    editing keys, the digit pads' keys). Showing the key shows the window."""

    def key(self):
        return self._keys[0]

    def key_shown(self, key):
        self.Show(key._shown)

    def place(self):
        if self._keys:
            self._keys[0]._rect = wx.Rect(self.GetClientSize())

    def DoGetBestSize(self):
        return self._keys[0].best_size() if self._keys else wx.Size(0, 0)


class KeyGroup(KeySurface):
    """The surface of a group of keys in lines (a row of letters, the symbols, the editing
    keys), `gap` px (at scale 1) between keys and lines and `border` px around them all.

    A line is centred; its keys are as high as its highest and as wide as they need, but for
    those given a share of the line: they take the width the others leave, by their shares,
    as a sizer's proportions do. None in a line is a space that takes a share of one.
    """

    def __init__(self, parent, palette, gap=0, border=0):
        KeySurface.__init__(self, parent, palette)
        self.rows = []     # the keys as the layout has them, row by row
        self._lines = []   # ... and as the surface places them: in lines that fit the screen
        self._shares = {}  # id(key) -> its share of its line's width
        self._gap = gap
        self._border = border

    def set_lines(self, lines, gap=None, shares=None):
        """Places `lines` of keys here (keys from another group move here), `shares` a
        {key: share} of the lines' widths."""
        self._lines = [list(line) for line in lines]
        self._shares = {id(key): share for key, share in (shares or {}).items()}
        if gap is not None:
            self._gap = gap
        for key in (key for line in self._lines for key in line if key is not None):
            self._take(key)
        self.key_changed()

    def _take(self, key):
        """An editing key moves from group to group as the keyboard is arranged anew."""
        before = key._surface
        if before is not self:
            if before._down is key:
                before._release()
            before._keys.remove(key)
            before.key_changed()
            key._surface = self
            key._best = {}
            self._keys.append(key)

    def _measure(self):
        """[(line's items shown, their sizes, their shares, line's width, line's height)], gap
        px, border px. An item is a key, or None for a space."""
        gap, border = gap_px(self._gap, self._scale), gap_px(self._border, self._scale)
        lines = []
        for line in self._lines:
            items = [item for item in line if item is None or item._shown]
            keys = [item for item in items if item is not None]
            if not keys:
                continue
            sizes = [wx.Size(0, 0) if item is None else item.best_size() for item in items]
            shares = [1 if item is None else self._shares.get(id(item), 0) for item in items]
            fixed = sum(size.width for size, share in zip(sizes, shares) if not share)
            # Each key with a share gets at least its own width from it.
            per_share = max([size.width / float(share)
                             for size, share in zip(sizes, shares) if share] or [0])
            width = fixed + int(math.ceil(per_share * sum(shares))) + gap * (len(keys) - 1)
            lines.append((items, sizes, shares, width, max(size.height for size in sizes)))
        return lines, gap, border

    def DoGetBestSize(self):
        lines, gap, border = self._measure()
        if not lines:
            return wx.Size(0, 0)
        return wx.Size(max(line[3] for line in lines) + 2 * border,
                       sum(line[4] for line in lines) + gap * (len(lines) - 1) + 2 * border)

    def place(self):
        lines, gap, border = self._measure()
        room = self.GetClientSize().width - 2 * border
        y = border
        for items, sizes, shares, width, height in lines:
            total = sum(shares)
            keys = sum(1 for item in items if item is not None)
            fixed = sum(size.width for size, share in zip(sizes, shares) if not share)
            flexible = room - fixed - gap * (keys - 1)
            x = border if total else border + (room - width) // 2
            for item, size, share in zip(items, sizes, shares):
                wide = max(size.width, flexible * share // total) if share else size.width
                if item is not None:
                    item._rect = wx.Rect(x, y, wide, height)
                    x += gap
                x += wide
            y += height + gap


class Alternatives(KeyGroup):
    """The row of alternatives a held key offers, drawn over the keys above it.

    A window of the dialog itself rather than a pop-up window: a modal dialog keeps the pointer
    to itself, and a window inside it needs no grab. Choosing one sends EVT_BUTTON with the
    held key's id, from the chosen key, through the held key's handlers.
    """

    _open = None

    def __init__(self, key, chars):
        Alternatives.close_any()
        dialog = key.GetTopLevelParent()
        surface = key.GetParent()
        edge = max(2, surface.scaled(KEY_EDGE) * 2)
        KeyGroup.__init__(self, dialog, key.palette, gap=edge, border=edge)
        Alternatives._open = self
        self._key = key
        self._slid_to = None
        self.SetFont(key.drawing_font())  # already at the keypad's scale, as the choices' size
        size = key.GetSize()
        # Above the held key where that leaves the value in view, else below it; in as many
        # lines as the dialog's width needs.
        area = dialog.offer_area() if hasattr(dialog, "offer_area") else dialog.GetClientRect()
        per_line = max(1, min(len(chars), area.width // (size.width + 2 * edge)))
        choices = [TouchKey(self, wx.ID_ANY, char, floor=(size.width, size.height),
                            least=key._least) for char in chars]
        for choice in choices:
            choice.Bind(wx.EVT_BUTTON, self._on_choice)
        self.set_lines([choices[n:n + per_line] for n in range(0, len(choices), per_line)])
        self.SetSize(self.GetBestSize())
        spot = dialog.ScreenToClient(key.GetScreenPosition())
        width, height = self.GetSize()
        x = max(area.x, min(spot.x, area.GetRight() + 1 - width))
        if spot.y - height >= area.y:
            y = spot.y - height
        elif spot.y + size.height + height <= area.GetBottom() + 1:
            y = spot.y + size.height
        else:
            y = area.y
        self.SetPosition((x, y))
        self.Raise()
        self.Show()

    def background(self):
        return self.palette.key_edge

    @classmethod
    def close_any(cls):
        offer, cls._open = cls._open, None
        if offer:
            offer._key.GetParent().offer_closed()
            offer.Destroy()

    def choices(self):
        return self.keys()

    def slide(self, point):
        """The finger, still down on the held key, is at screen `point`."""
        under = self.key_at(self.ScreenToClient(point))
        if under is not self._slid_to:
            for choice in (self._slid_to, under):
                if choice is not None:
                    self._light(choice, choice is under)
            self._slid_to = under

    def lift(self):
        """The finger left the held key: type the alternative it slid to, if any."""
        if self._slid_to is not None:
            self._choose(self._slid_to)

    def _on_choice(self, event):
        self._choose(event.GetEventObject())

    def _choose(self, choice):
        key = self._key
        event = wx.CommandEvent(wx.wxEVT_BUTTON, key.GetId())
        event.SetEventObject(choice)
        wx.CallAfter(Alternatives.close_any)  # not under the choice's own handler
        key.ProcessEvent(event)


class Preview(DrawnControl):
    """What the key under the finger types, drawn large just above it: the finger, gloved or
    not, covers the key it presses. One per dialog, moved to each key pressed."""

    def __init__(self, dialog, palette):
        DrawnControl.__init__(self, dialog, wx.ID_ANY, "", palette)
        self.Hide()
        self.key = None
        self._grown_from = None  # the font the preview's own was grown from

    def show_over(self, key, text):
        self.key = key
        source = key._font if key._font is not None else key.GetParent()._font
        if source is not self._grown_from:
            self._grown_from = source
            self._font = source.Bold().Scaled(PREVIEW_GROW)
            self._drawing_font = None
        self.set_scale(key.scale)
        wx.Control.SetLabel(self, text)
        dialog = self.GetParent()
        spot = dialog.ScreenToClient(key.GetScreenPosition())
        size = key.GetSize()
        text_width, text_height = self.text_size(text or "M")
        width = max(size.width, text_width + 2 * self.scaled(KEY_PADDING[0]))
        height = max(size.height, text_height + 2 * self.scaled(KEY_PADDING[1]))
        area = dialog.GetClientSize()
        x = max(0, min(spot.x + (size.width - width) // 2, area.width - width))
        y = max(0, spot.y - height - self.scaled(PREVIEW_LIFT))
        self.SetSize(x, y, width, height)
        self.Raise()
        self.Show()
        self.Refresh()
        self.Update()  # now: the finger may lift before the next idle time

    def hide_from(self, key):
        if self.key is key:
            self.key = None
            self.Hide()

    def draw(self, dc, size):
        face, ink = theme.pressed(self.palette, self.palette.key)
        draw_key(dc, self, wx.Rect(size), face, ink, self.GetLabel(), self.drawing_font())
