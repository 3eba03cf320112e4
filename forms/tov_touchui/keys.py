"""The keys: the drawn touch key, the row of alternatives a held key offers, and the preview of
what the key under the finger types."""
import wx

from . import theme
from .drawn import MIN_TOUCH, DrawnControl

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
    """Send `key` the EVT_BUTTON a touch would, through its own handler chain."""
    event = wx.CommandEvent(wx.wxEVT_BUTTON, key.GetId())
    event.SetEventObject(key)
    key.GetEventHandler().ProcessEvent(event)


class TouchKey(DrawnControl):
    """A key drawn by the form: behaves as a push button and sends EVT_BUTTON.

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

    `floor` is the key's smallest size at scale 1 for a font of `base_points`: a bigger font
    scales the floor with it, and the keypad's fit scales everything, but never below `least`
    px (44, or what the application asked for gloves).
    """

    def __init__(self, parent, id=wx.ID_ANY, label="", floor=(MIN_TOUCH, MIN_TOUCH),
                 base_points=None, repeat=False, face=None, palette=None, alternatives="",
                 preview=False, least=MIN_TOUCH):
        DrawnControl.__init__(self, parent, id, label, palette)
        self._floor = floor
        self._least = least
        self._base_points = base_points
        self._face_text = face
        self._given = self._face = self.palette.key
        self._ink = self.palette.key_text
        self._preview = preview
        self._pressed = False  # the finger went down on the key and has not been lifted
        self._over = False     # ... and is over the key now
        self._repeat = repeat
        self._alternatives = alternatives
        self._held = False     # the hold did its work (repeated, or offered the alternatives)
        self._offer = None     # the row of alternatives on offer
        self._hold_timer = None
        if repeat or alternatives:
            self._hold_timer = wx.Timer(self)
            self.Bind(wx.EVT_TIMER, self._on_hold, self._hold_timer)
            self.Bind(wx.EVT_WINDOW_DESTROY, self._on_destroy)
        # One binding for the four mouse events: a hundred keys bound four times each cost
        # a millisecond and a half.
        self.Bind(_TOUCH_EVENTS, self._on_mouse)
        self.Bind(wx.EVT_MOUSE_CAPTURE_LOST, self._on_capture_lost)

    # -- what callers change ---------------------------------------------------------------

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

    def Enable(self, enable=True):
        changed = wx.Control.Enable(self, enable)
        self.Refresh()
        return changed

    def Disable(self):
        return self.Enable(False)

    def face_text(self):
        """What the key face shows: the caption unless the form gave the key a symbol."""
        return self._face_text if self._face_text is not None else self.GetLabel()

    def measured_text(self):
        """The text the key's size is made for."""
        return self.face_text() or "M"

    def DoGetBestSize(self):
        # The height is the font's, not the caption's: a symbol from a fallback font (⌫) is
        # taller, and keys in one row or column must stay in line.
        width, height = self.text_size(self.measured_text())[0], self.text_size("Mg")[1]
        grow = 1.0
        if self._base_points:
            grow = max(1.0, self._font.GetFractionalPointSize() / self._base_points)
        floor_w = max(self._least, self.scaled(self._floor[0] * grow))
        floor_h = max(self._least, self.scaled(self._floor[1] * grow))
        return wx.Size(max(floor_w, width + 2 * self.scaled(KEY_PADDING[0])),
                       max(floor_h, height + 2 * self.scaled(KEY_PADDING[1])))

    # -- touch -----------------------------------------------------------------------------

    def _on_mouse(self, event):
        kind = event.GetEventType()
        if kind in (wx.wxEVT_LEFT_DOWN, wx.wxEVT_LEFT_DCLICK):  # a quick second tap presses too
            self._on_down(event)
        elif kind == wx.wxEVT_LEFT_UP:
            self._on_up(event)
        elif kind == wx.wxEVT_MOTION:
            self._on_motion(event)

    def _on_down(self, event):
        if not isinstance(self.GetParent(), Alternatives):
            Alternatives.close_any()  # a touch anywhere else withdraws the offer
        if not self.IsEnabled():
            return
        if not self.HasCapture():
            self.CaptureMouse()  # the release must come here even off the key
        self._pressed = self._over = True
        if self._hold_timer is not None:
            self._held = False
            self._hold_timer.StartOnce(REPEAT_DELAY_MS if self._repeat else HOLD_MS)
        self.Refresh()
        self._show_preview(True)

    def _on_motion(self, event):
        if not self._pressed:
            return
        if self._offer:
            self._offer.slide(self.ClientToScreen(event.GetPosition()))
        over = self.GetClientRect().Contains(event.GetPosition())
        if over != self._over:
            self._over = over
            self.Refresh()
            self._show_preview(over and not self._offer)

    def _on_up(self, event):
        if not self._pressed:
            return
        over = self.GetClientRect().Contains(event.GetPosition())
        offer, fire = self._offer, over and not self._held
        self._release()
        if offer:
            offer.lift()  # chooses the alternative under the finger, or stays for a tap
        elif fire:
            fire_key(self)  # last: the handler may end the dialog or destroy it

    def _on_capture_lost(self, event):
        self._release(capture_lost=True)

    def _release(self, capture_lost=False):
        self._show_preview(False)
        self._pressed = self._over = False
        if self._hold_timer is not None:
            self._hold_timer.Stop()
        if not capture_lost and self.HasCapture():
            self.ReleaseMouse()
        self.Refresh()

    def _on_hold(self, event):
        if not (self._pressed and self._over and self.IsEnabled()):
            return  # slid off: wait for the finger to come back or lift
        if self._repeat:
            if not self._held:
                self._hold_timer.Start(REPEAT_EVERY_MS)
            self._held = True
            fire_key(self)
        elif not self._held:
            self._held = True
            self._show_preview(False)  # the offer takes its place
            self._offer = Alternatives(self, self._alternatives)

    def _show_preview(self, show):
        if self._preview:
            dialog = self.GetTopLevelParent()
            toggle = getattr(dialog, "show_preview" if show else "hide_preview", None)
            if toggle is not None:
                toggle(self)

    def offer_closed(self):
        self._offer = None

    def _on_destroy(self, event):
        event.Skip()
        if event.GetEventObject() is self:
            self._hold_timer.Stop()

    # -- look ------------------------------------------------------------------------------

    def draw(self, dc, size):
        width, height = size
        face, ink = self._face, self._ink
        if not self.IsEnabled():
            ink = self.palette.key_disabled_text
        elif self._pressed and self._over:
            face, ink = theme.pressed(self.palette, face)
        edge = max(1, self.scaled(KEY_EDGE))
        dc.SetPen(wx.Pen(self.palette.key_edge, edge))
        dc.SetBrush(wx.Brush(face))
        half = edge // 2
        dc.DrawRoundedRectangle(half, half, width - edge + 1, height - edge + 1,
                                self.scaled(KEY_RADIUS))
        text = self.face_text()
        if text:
            dc.SetFont(self.drawing_font())
            dc.SetTextForeground(ink)
            text_width, text_height = self.text_size(text)
            dc.DrawText(text, (width - text_width) // 2, (height - text_height) // 2)


class Alternatives(wx.Panel):
    """The row of alternatives a held key offers, drawn over the keys above it.

    A panel of the dialog itself rather than a pop-up window: a modal dialog keeps the pointer
    to itself, and a panel inside it needs no grab. Choosing one sends EVT_BUTTON with the
    held key's id, from the chosen key, through the held key's handler chain.
    """

    _open = None

    def __init__(self, key, chars):
        Alternatives.close_any()
        dialog = key.GetTopLevelParent()
        wx.Panel.__init__(self, dialog)
        Alternatives._open = self
        self._key = key
        self._slid_to = None
        self.SetBackgroundColour(key.palette.key_edge)
        size = key.GetSize()
        edge = max(2, key.scaled(KEY_EDGE) * 2)
        # Above the held key where that leaves the value in view, else below it; in as many
        # lines as the dialog's width needs.
        area = dialog.offer_area() if hasattr(dialog, "offer_area") else dialog.GetClientRect()
        per_line = max(1, min(len(chars), area.width // (size.width + 2 * edge)))
        row = wx.GridSizer(0, per_line, 0, 0)
        self._keys = []
        for char in chars:
            choice = TouchKey(self, wx.ID_ANY, char, floor=(size.width, size.height),
                              palette=key.palette, least=key._least)
            choice.SetFont(key.GetFont())
            choice.set_scale(key._scale)
            choice.SetMinSize(size)
            choice.Bind(wx.EVT_BUTTON, self._on_choice)
            row.Add(choice, 0, wx.ALL, edge)
            self._keys.append(choice)
        self.SetSizerAndFit(row)
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

    @classmethod
    def close_any(cls):
        offer, cls._open = cls._open, None
        if offer:
            offer._key.offer_closed()
            offer.Destroy()

    def choices(self):
        return list(self._keys)

    def slide(self, point):
        """The finger, still down on the held key, is at screen `point`."""
        under = next((k for k in self._keys if k.GetScreenRect().Contains(point)), None)
        if under is not self._slid_to:
            for choice in (self._slid_to, under):
                if choice is not None:
                    choice._pressed = choice._over = choice is under
                    choice.Refresh()
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
        key.GetEventHandler().ProcessEvent(event)


class Preview(DrawnControl):
    """What the key under the finger types, drawn large just above it: the finger, gloved or
    not, covers the key it presses. One per dialog, moved to each key pressed."""

    def __init__(self, dialog, palette):
        DrawnControl.__init__(self, dialog, wx.ID_ANY, "", palette)
        self.Hide()
        self.key = None

    def show_over(self, key, text):
        self.key = key
        self._font = key.GetFont().Bold().Scaled(PREVIEW_GROW)
        self._drawing_font = None
        self.set_scale(key._scale)
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
        width, height = size
        face, ink = theme.pressed(self.palette, self.palette.key)
        edge = max(1, self.scaled(KEY_EDGE))
        dc.SetPen(wx.Pen(self.palette.key_edge, edge))
        dc.SetBrush(wx.Brush(face))
        dc.DrawRoundedRectangle(edge // 2, edge // 2, width - edge + 1, height - edge + 1,
                                self.scaled(KEY_RADIUS))
        text = self.GetLabel()
        dc.SetFont(self.drawing_font())
        dc.SetTextForeground(ink)
        text_width, text_height = self.text_size(text)
        dc.DrawText(text, (width - text_width) // 2, (height - text_height) // 2)
