"""Forms of the touch-panel keypads: widgets, layout, and the wiring of keys to handlers.

What a key does is decided by a subclass (the tov_touch extension). It calls
`Form.__init__(self, parent)`, then adjusts the widgets and overrides the handler methods. The
forms bind every key to its handler by name on `self`, so the subclass's method is the one that
runs; the handlers defined here only skip the event.

A physical keyboard, where a panel has one, works through the same keys: the form's char hook
finds the key a keystroke stands for and fires that key's EVT_BUTTON, so typing and touching go
down exactly the same path.
"""
import wx

import tov_wxtools

__all__ = ["DigitKeypad", "DigitPasswordKeypad", "AlphaKeypad", "TouchKey"]

# Touch targets: a key never gets smaller than this, whatever its font and caption; a bigger
# font or a longer caption makes it grow.
DIGIT_KEY_SIZE = (80, 72)
ALPHA_KEY_SIZE = (64, 64)
DIGIT_KEY_POINTS = 20
ALPHA_KEY_POINTS = 18
DIGIT_VALUE_POINTS = 32
ALPHA_VALUE_POINTS = 24
PROMPT_POINTS = 16
BOUNDS_POINTS = 14
GAP = 6
FIELD_MIN_WIDTH = 160
FIELD_PADDING = 12
BORDER = 14

SHIFT_OFF_COLOUR = (225, 225, 255)
SHIFT_ON_COLOUR = (255, 128, 0)
CONFIRM_COLOUR = (40, 140, 70)
CONFIRM_TEXT_COLOUR = (255, 255, 255)
VALUE_COLOUR = (255, 255, 255)
KEY_FACE_COLOUR = (246, 245, 244)
KEY_EDGE_COLOUR = (190, 184, 178)
KEY_TEXT_COLOUR = (46, 52, 54)
KEY_RADIUS = 6
KEY_PADDING = (16, 12)  # around the caption, for the key's own best size

BACKSPACE = "\u232b"  # ⌫
CLEAR = "清除"
CONFIRM = "确定"
CANCEL = "取消"

# Keypad keys that type a character; their wx key codes don't carry one in the char hook.
_NUMPAD_CHARS = {
    wx.WXK_NUMPAD0: "0", wx.WXK_NUMPAD1: "1", wx.WXK_NUMPAD2: "2", wx.WXK_NUMPAD3: "3",
    wx.WXK_NUMPAD4: "4", wx.WXK_NUMPAD5: "5", wx.WXK_NUMPAD6: "6", wx.WXK_NUMPAD7: "7",
    wx.WXK_NUMPAD8: "8", wx.WXK_NUMPAD9: "9", wx.WXK_NUMPAD_DECIMAL: ".",
    wx.WXK_NUMPAD_ADD: "+", wx.WXK_NUMPAD_SUBTRACT: "-", wx.WXK_NUMPAD_MULTIPLY: "*",
    wx.WXK_NUMPAD_DIVIDE: "/", wx.WXK_NUMPAD_SPACE: " ",
}

# Used only where the toolkit does not tell us the translated character (see typed_char).
_US_SHIFTED = dict(zip("`1234567890-=[]\\;',./", "~!@#$%^&*()_+{}|:\"<>?"))


def typed_char(event):
    """The character a char-hook key event types, or None for keys that type nothing.

    The char hook sees the key before translation: GetUnicodeKey() is "A" for both a and A and
    "1" for "!". wxGTK's raw key code is the GDK keyval, which has shift, caps lock and the
    keyboard layout applied, so it is the one to trust there.
    """
    code = event.GetKeyCode()
    if code in _NUMPAD_CHARS:
        return _NUMPAD_CHARS[code]
    keyval = event.GetRawKeyCode()
    if wx.Platform == "__WXGTK__" and keyval:  # 0: an event made by a program, not by GTK
        if 0x20 <= keyval <= 0x7E or 0xA0 <= keyval <= 0xFF:
            return chr(keyval)
        if keyval & 0xFF000000 == 0x01000000:  # GDK's direct Unicode keyvals
            return chr(keyval & 0x00FFFFFF)
        return None
    uni = event.GetUnicodeKey()
    if uni == wx.WXK_NONE or uni < 0x20 or uni == 0x7F:
        return None
    char = chr(uni)
    if char.isalpha():
        upper = event.ShiftDown() != wx.GetKeyState(wx.WXK_CAPITAL)
        return char.upper() if upper else char.lower()
    if event.ShiftDown():
        return _US_SHIFTED.get(char, char)
    return char


def fire_key(key):
    """Send `key` the EVT_BUTTON a touch would, through its own handler chain."""
    event = wx.CommandEvent(wx.wxEVT_BUTTON, key.GetId())
    event.SetEventObject(key)
    key.GetEventHandler().ProcessEvent(event)


class TouchKey(wx.Control):
    """A key drawn by the form: behaves as a push button and sends EVT_BUTTON.

    A native GTK button takes about 0.4 ms to create, and the keyboard has a hundred keys: it
    opened a tenth of a second after the touch. This control costs a tenth of that. It looks
    pressed while the finger is down, fires on release over the key, fires nothing when the
    finger slides off first, and is grey and dead while disabled. GetLabel() is the caption
    exactly as given ("&" included: nothing here reads mnemonics).
    """

    def __init__(self, parent, id=wx.ID_ANY, label=""):
        wx.Control.__init__(self, parent, id, style=wx.BORDER_NONE)
        self.SetBackgroundStyle(wx.BG_STYLE_PAINT)  # the paint handler covers every pixel
        self._font = self._default_font()
        self._face = wx.Colour(*KEY_FACE_COLOUR)
        self._ink = wx.Colour(*KEY_TEXT_COLOUR)
        self._pressed = False  # the finger went down on the key and has not been lifted
        self._over = False     # ... and is over the key now
        wx.Control.SetLabel(self, label)
        self.Bind(wx.EVT_PAINT, self._on_paint)
        self.Bind(wx.EVT_LEFT_DOWN, self._on_down)
        self.Bind(wx.EVT_LEFT_DCLICK, self._on_down)  # a quick second tap is a second press
        self.Bind(wx.EVT_LEFT_UP, self._on_up)
        self.Bind(wx.EVT_MOTION, self._on_motion)
        self.Bind(wx.EVT_MOUSE_CAPTURE_LOST, self._on_capture_lost)

    # -- what callers change ---------------------------------------------------------------

    def SetLabel(self, label):
        wx.Control.SetLabel(self, label)
        self.InvalidateBestSize()
        self.Refresh()

    # The key only draws with its font, so the font stays here and never reaches the native
    # widget: wx's own SetFont first compares fonts, at some 45 us a key, then restyles GTK.
    def SetFont(self, font):
        self._font = wx.Font(font)
        self.InvalidateBestSize()
        self.Refresh()
        return True

    def GetFont(self):
        return wx.Font(self._font)

    def SetBackgroundColour(self, colour):
        self._face = wx.Colour(colour)
        self.Refresh()
        return wx.Control.SetBackgroundColour(self, colour)

    def SetForegroundColour(self, colour):
        self._ink = wx.Colour(colour)
        self.Refresh()
        return wx.Control.SetForegroundColour(self, colour)

    def Enable(self, enable=True):
        changed = wx.Control.Enable(self, enable)
        self.Refresh()
        return changed

    def Disable(self):
        return self.Enable(False)

    _gui_font = None

    @classmethod
    def _default_font(cls):
        # Asking the widget costs a style look-up per key; the answer is the same for all.
        if cls._gui_font is None:
            cls._gui_font = wx.SystemSettings.GetFont(wx.SYS_DEFAULT_GUI_FONT)
        return cls._gui_font

    # Caption sizes by (caption, font): measuring is a Pango layout each time, and every
    # keypad opened measures the same captions in the same fonts again.
    _text_sizes = {}

    def DoGetBestSize(self):
        label, font = self.GetLabel() or "M", self._font
        measured = (label, font.GetNativeFontInfoDesc())
        size = self._text_sizes.get(measured)
        if size is None:
            size = self._text_sizes[measured] = self.GetFullTextExtent(label, font)[:2]
        return wx.Size(size[0] + 2 * KEY_PADDING[0], size[1] + 2 * KEY_PADDING[1])

    # -- touch -----------------------------------------------------------------------------

    def _on_down(self, event):
        if not self.HasCapture():
            self.CaptureMouse()  # the release must come here even off the key
        self._pressed = self._over = True
        self.Refresh()

    def _on_motion(self, event):
        if self._pressed:
            over = self.GetClientRect().Contains(event.GetPosition())
            if over != self._over:
                self._over = over
                self.Refresh()

    def _on_up(self, event):
        if not self._pressed:
            return
        fire = self.GetClientRect().Contains(event.GetPosition())
        self._pressed = self._over = False
        if self.HasCapture():
            self.ReleaseMouse()
        self.Refresh()
        if fire:
            fire_key(self)  # last: the handler may end the dialog or destroy it

    def _on_capture_lost(self, event):
        self._pressed = self._over = False
        self.Refresh()

    # -- look ------------------------------------------------------------------------------

    def _on_paint(self, event):
        dc = wx.PaintDC(self)
        width, height = self.GetClientSize()
        dc.SetBackground(wx.Brush(self.GetParent().GetBackgroundColour()))
        dc.Clear()
        face, ink = self._face, self._ink
        if not self.IsEnabled():
            face, ink = face.ChangeLightness(112), wx.Colour(150, 150, 150)
        elif self._pressed and self._over:
            face = face.ChangeLightness(78)
        dc.SetPen(wx.Pen(wx.Colour(*KEY_EDGE_COLOUR)))
        dc.SetBrush(wx.Brush(face))
        dc.DrawRoundedRectangle(1, 1, width - 2, height - 2, KEY_RADIUS)
        label = self.GetLabel()
        dc.SetFont(self._font)
        dc.SetTextForeground(ink)
        text_width, text_height = dc.GetTextExtent(label)
        dc.DrawText(label, (width - text_width) // 2, (height - text_height) // 2)


def _exact_fit_button(parent, id, caption):
    return wx.Button(parent, id, caption, style=wx.BU_EXACTFIT)


def _font(points):
    return wx.Font(wx.FontInfo(points))


def _cell(window, min_size):
    # The floor lives in a sizer around the key, not in the key's own min size: a min size
    # would pin the key and stop it growing when the subclass enlarges the font.
    box = wx.BoxSizer(wx.HORIZONTAL)
    box.SetMinSize(min_size)
    box.Add(window, 1, wx.EXPAND)
    return box


class _ValueField(wx.TextCtrl):
    """The large read-only field showing what the keys typed.

    GTK's own height for an entry ignores most of a large font (and creeps up with every
    relayout), so the height comes from the font instead, whoever sets it.
    """

    def __init__(self, parent, style, min_width):
        wx.TextCtrl.__init__(self, parent, style=style | wx.TE_READONLY)
        # GTK also asks for room for about twenty characters; let the keys decide the width.
        self._min_width = min_width
        self._fit_font()

    def SetFont(self, font):
        done = wx.TextCtrl.SetFont(self, font)
        self._fit_font()
        return done

    def _fit_font(self):
        self.SetMinSize((self._min_width, self.GetCharHeight() + FIELD_PADDING))


class _Keypad(wx.Dialog):
    """What the three forms share: keys, the char hook, and how the dialog ends."""

    def __init__(self, parent, title, key_points, key_size):
        wx.Dialog.__init__(self, parent, wx.ID_ANY, title, style=wx.DEFAULT_DIALOG_STYLE)
        self._key_font = _font(key_points)
        self._key_size = key_size
        self._keys_by_code = {}  # wx key code -> key
        self._keys_by_char = {}  # typed character -> keys with that caption
        self.Bind(wx.EVT_CHAR_HOOK, self._on_char_hook)
        self.Bind(wx.EVT_CLOSE, self._on_close)

    def _key(self, caption, handler=None, parent=None, id=wx.ID_ANY, char=None, kind=TouchKey):
        """A touch key. `char` is what a physical keystroke must type to fire it."""
        key = kind(parent or self, id, caption)
        key.SetFont(self._key_font)
        # Keys never take the focus (a focused GTK button clicks itself on Space and Enter):
        # the char hook is the only way a keystroke reaches them.
        key.SetCanFocus(False)
        if handler is not None:
            self.Bind(wx.EVT_BUTTON, handler, key)
        if char is not None:
            self._keys_by_char.setdefault(char, []).append(key)
        return key

    def _map_codes(self, key, *codes):
        for code in codes:
            self._keys_by_code[code] = key

    def _value_field(self, style, points, min_width=-1):
        field = _ValueField(self, style, min_width)
        field.SetFont(_font(points))
        field.SetBackgroundColour(wx.Colour(*VALUE_COLOUR))
        # Read-only, but it holds the focus (something must, for the char hook to see keys).
        # Keep the caret after the last character, where the keys add text, and undo GTK's
        # select-all on focus, which would suggest the next key replaces the value.
        field.Bind(wx.EVT_TEXT, self._on_field_text)
        field.Bind(wx.EVT_SET_FOCUS, self._on_field_focus)
        return field

    def _on_field_text(self, event):
        event.Skip()
        event.GetEventObject().SetInsertionPointEnd()

    def _on_field_focus(self, event):
        event.Skip()
        field = event.GetEventObject()
        wx.CallAfter(self._caret_to_end, field)

    @staticmethod
    def _caret_to_end(field):
        if field:  # a destroyed window is falsy
            field.SetInsertionPointEnd()

    def _prompt(self, text):
        prompt = wx.StaticText(self, label=text)
        prompt.SetFont(_font(PROMPT_POINTS))
        return prompt

    def _style_confirm(self, key):
        key.SetBackgroundColour(wx.Colour(*CONFIRM_COLOUR))
        key.SetForegroundColour(wx.Colour(*CONFIRM_TEXT_COLOUR))
        key.SetFont(self._key_font.Bold())

    def _set_layout(self, sizer):
        outer = wx.BoxSizer(wx.VERTICAL)
        outer.Add(sizer, 1, wx.EXPAND | wx.ALL, BORDER)
        self.SetSizer(outer)
        tov_wxtools.window_fit_layout(self)

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


class DigitKeypad(_Keypad):
    """Numeric keypad: digits, decimal point, sign, clear, Enter, Cancel.

    key          caption   handler
    m_button2    7         OnDigit
    m_button3    8         OnDigit
    m_button4    9         OnDigit
    m_button5    4         OnDigit
    m_button6    5         OnDigit
    m_button7    6         OnDigit
    m_button8    1         OnDigit
    m_button9    2         OnDigit
    m_button10   3         OnDigit
    m_button11   0         OnDigit
    DotPoint     .         OnDot
    m_button12   -         OnNegative
    m_button13   +         OnPositive
    m_button15   清除      OnClearAll
    m_button16   确定      on_enter   (the subclass ends the dialog with wx.ID_OK)
    m_button17   取消      wx.ID_CANCEL
    ui_backspace ⌫         the form itself: drops the last character of mValueField
    """

    def __init__(self, parent):
        _Keypad.__init__(self, parent, "数字键盘", DIGIT_KEY_POINTS, DIGIT_KEY_SIZE)
        self.ui_message = self._prompt("请输入数值：")
        self.mValueField = self._value_field(wx.TE_RIGHT, DIGIT_VALUE_POINTS, FIELD_MIN_WIDTH)

        self.m_staticText3 = wx.StaticText(self, label="最小值：")
        self.ui_minimum = wx.StaticText(self, label="-\u221e")
        self.m_staticText5 = wx.StaticText(self, label="最大值：")
        self.ui_maxmum = wx.StaticText(self, label="+\u221e")
        for text in (self.m_staticText3, self.ui_minimum, self.m_staticText5, self.ui_maxmum):
            text.SetFont(_font(BOUNDS_POINTS))

        key = self._key
        self.m_button2 = key("7", self.OnDigit, char="7")
        self.m_button3 = key("8", self.OnDigit, char="8")
        self.m_button4 = key("9", self.OnDigit, char="9")
        self.m_button5 = key("4", self.OnDigit, char="4")
        self.m_button6 = key("5", self.OnDigit, char="5")
        self.m_button7 = key("6", self.OnDigit, char="6")
        self.m_button8 = key("1", self.OnDigit, char="1")
        self.m_button9 = key("2", self.OnDigit, char="2")
        self.m_button10 = key("3", self.OnDigit, char="3")
        self.m_button11 = key("0", self.OnDigit, char="0")
        self.DotPoint = key(".", self.OnDot, char=".")
        self.m_button12 = key("-", self.OnNegative, char="-")
        self.m_button13 = key("+", self.OnPositive, char="+")
        self.m_button15 = key(CLEAR, self.OnClearAll)
        self.m_button16 = key(CONFIRM, self.on_enter)
        self.m_button17 = key(CANCEL, self._on_cancel_key, id=wx.ID_CANCEL)
        self.ui_backspace = key(BACKSPACE, self._on_backspace)
        self._style_confirm(self.m_button16)

        self._map_codes(self.m_button16, wx.WXK_RETURN, wx.WXK_NUMPAD_ENTER)
        self._map_codes(self.ui_backspace, wx.WXK_BACK)
        self._map_codes(self.m_button15, wx.WXK_DELETE, wx.WXK_NUMPAD_DELETE)
        self._map_codes(self.m_button17, wx.WXK_ESCAPE)

        bounds = wx.BoxSizer(wx.HORIZONTAL)
        bounds.Add(self.m_staticText3, 0, wx.ALIGN_CENTER_VERTICAL)
        bounds.Add(self.ui_minimum, 0, wx.ALIGN_CENTER_VERTICAL)
        bounds.AddSpacer(4 * GAP)  # keeps "-10.0" and "最大值：" apart when the bounds are long
        bounds.AddStretchSpacer()
        bounds.Add(self.m_staticText5, 0, wx.ALIGN_CENTER_VERTICAL)
        bounds.Add(self.ui_maxmum, 0, wx.ALIGN_CENTER_VERTICAL)

        grid = wx.GridBagSizer(GAP, GAP)
        rows = (
            (self.m_button2, self.m_button3, self.m_button4, self.ui_backspace),
            (self.m_button5, self.m_button6, self.m_button7, self.m_button15),
            (self.m_button8, self.m_button9, self.m_button10, self.m_button12),
        )
        for row, keys in enumerate(rows):
            for col, k in enumerate(keys):
                grid.Add(_cell(k, self._key_size), (row, col), flag=wx.EXPAND)
        grid.Add(_cell(self.m_button11, self._key_size), (3, 0), (1, 2), wx.EXPAND)
        grid.Add(_cell(self.DotPoint, self._key_size), (3, 2), flag=wx.EXPAND)
        grid.Add(_cell(self.m_button13, self._key_size), (3, 3), flag=wx.EXPAND)
        grid.Add(_cell(self.m_button17, self._key_size), (4, 0), (1, 2), wx.EXPAND)
        grid.Add(_cell(self.m_button16, self._key_size), (4, 2), (1, 2), wx.EXPAND)
        for col in range(4):
            grid.AddGrowableCol(col)

        body = wx.BoxSizer(wx.VERTICAL)
        body.Add(self.ui_message, 0, wx.BOTTOM, GAP)
        body.Add(self.mValueField, 0, wx.EXPAND | wx.BOTTOM, GAP)
        body.Add(bounds, 0, wx.EXPAND | wx.BOTTOM, 2 * GAP)
        body.Add(grid, 1, wx.EXPAND)
        self._set_layout(body)

    def _on_backspace(self, event):
        self.mValueField.SetValue(self.mValueField.GetValue()[:-1])

    # Override in subclass.
    def OnDigit(self, event):
        event.Skip()

    def OnDot(self, event):
        event.Skip()

    def OnNegative(self, event):
        event.Skip()

    def OnPositive(self, event):
        event.Skip()

    def OnClearAll(self, event):
        event.Skip()

    def on_enter(self, event):
        event.Skip()


class DigitPasswordKeypad(_Keypad):
    """PIN keypad: digits only, the entry masked.

    key          caption   handler
    m_button2    7         on_digit
    m_button3    8         on_digit
    m_button4    9         on_digit
    m_button5    4         on_digit
    m_button6    5         on_digit
    m_button7    6         on_digit
    m_button8    1         on_digit
    m_button9    2         on_digit
    m_button10   3         on_digit
    m_button11   0         on_digit
    DotPoint     ⌫         the form itself: drops the last character of ui_text
    m_button12   (none)    hidden, unbound
    m_button13   (none)    hidden, unbound
    m_button15   清除      on_clear
    m_button16   确定      on_confirm (the subclass ends the dialog with wx.ID_OK)
    m_button17   取消      wx.ID_CANCEL

    m_button12 and m_button13 are the numeric pad's sign keys. A PIN has no sign and nothing
    else honest fits there, so they exist (the subclass styles all sixteen names) but stay
    hidden and out of the layout. ui_backspace is DotPoint under a clearer name.
    """

    def __init__(self, parent):
        _Keypad.__init__(self, parent, "密码键盘", DIGIT_KEY_POINTS, DIGIT_KEY_SIZE)
        self.ui_message = self._prompt("请输入密码：")
        self.ui_text = self._value_field(wx.TE_PASSWORD | wx.TE_CENTRE, DIGIT_VALUE_POINTS,
                                         FIELD_MIN_WIDTH)

        key = self._key
        self.m_button2 = key("7", self.on_digit, char="7")
        self.m_button3 = key("8", self.on_digit, char="8")
        self.m_button4 = key("9", self.on_digit, char="9")
        self.m_button5 = key("4", self.on_digit, char="4")
        self.m_button6 = key("5", self.on_digit, char="5")
        self.m_button7 = key("6", self.on_digit, char="6")
        self.m_button8 = key("1", self.on_digit, char="1")
        self.m_button9 = key("2", self.on_digit, char="2")
        self.m_button10 = key("3", self.on_digit, char="3")
        self.m_button11 = key("0", self.on_digit, char="0")
        self.DotPoint = key(BACKSPACE, self._on_backspace)
        self.m_button12 = key("")
        self.m_button13 = key("")
        self.m_button12.Hide()
        self.m_button13.Hide()
        self.m_button15 = key(CLEAR, self.on_clear)
        self.m_button16 = key(CONFIRM, self.on_confirm)
        self.m_button17 = key(CANCEL, self._on_cancel_key, id=wx.ID_CANCEL)
        self.ui_backspace = self.DotPoint
        self._style_confirm(self.m_button16)

        self._map_codes(self.m_button16, wx.WXK_RETURN, wx.WXK_NUMPAD_ENTER)
        self._map_codes(self.DotPoint, wx.WXK_BACK)
        self._map_codes(self.m_button15, wx.WXK_DELETE, wx.WXK_NUMPAD_DELETE)
        self._map_codes(self.m_button17, wx.WXK_ESCAPE)

        grid = wx.GridSizer(4, 3, GAP, GAP)
        for k in (self.m_button2, self.m_button3, self.m_button4,
                  self.m_button5, self.m_button6, self.m_button7,
                  self.m_button8, self.m_button9, self.m_button10,
                  self.DotPoint, self.m_button11, self.m_button15):
            grid.Add(_cell(k, self._key_size), 0, wx.EXPAND)
        bottom = wx.BoxSizer(wx.HORIZONTAL)
        bottom.Add(_cell(self.m_button17, self._key_size), 1, wx.EXPAND | wx.RIGHT, GAP)
        bottom.Add(_cell(self.m_button16, self._key_size), 1, wx.EXPAND)

        body = wx.BoxSizer(wx.VERTICAL)
        body.Add(self.ui_message, 0, wx.BOTTOM, GAP)
        body.Add(self.ui_text, 0, wx.EXPAND | wx.BOTTOM, 2 * GAP)
        body.Add(grid, 1, wx.EXPAND | wx.BOTTOM, GAP)
        body.Add(bottom, 0, wx.EXPAND)
        self._set_layout(body)

    def _on_backspace(self, event):
        self.ui_text.SetValue(self.ui_text.GetValue()[:-1])

    # Override in subclass.
    def on_digit(self, event):
        event.Skip()

    def on_clear(self, event):
        event.Skip()

    def on_confirm(self, event):
        event.Skip()


class AlphaKeypad(_Keypad):
    """Full keyboard for text and passwords.

    Two pairs of key groups swap, driven by the subclass: `no_Shift` / `Shift` (digits and
    punctuation, unshifted / shifted, each symbol where its base key is) and the letter rows
    `ui_caps_off_N` / `ui_caps_on_N`. The shift keys, Tab, Space and the editing keys sit
    outside the swapping groups and never move.

        no_Shift:  ` 1 2 3 4 5 6 7 8 9 0 - =        Shift:  ~ ! @ # $ % ^ & * ( ) _ +
                     [ ] \\ ; ' , . /                          { } | : " < > ?
        Tab      q w e r t y u i o p        ⌫
        Shift    a s d f g h j k l          Shift       (ui_shift_0, ui_shift_1)
        Shift    z x c v b n m Caps         Shift       (ui_shift_2, ui_shift_3)
        清除     Space                     取消  确定

    The Caps key is part of the letter group, so the one in view always switches to the
    other state: ui_caps_lock_on (caps-off group) -> on_caps_on, ui_caps_lock_off (caps-on
    group) -> on_caps_off.
    """

    UNSHIFTED_ROWS = ("`1234567890-=", "[]\\;',./")
    SHIFTED_ROWS = ("~!@#$%^&*()_+", "{}|:\"<>?")
    LETTER_ROWS = ("qwertyuiop", "asdfghjkl", "zxcvbnm")

    def __init__(self, parent):
        _Keypad.__init__(self, parent, "键盘", ALPHA_KEY_POINTS, ALPHA_KEY_SIZE)
        self.ui_message = self._prompt("请输入：")
        self.ui_value_normal = self._value_field(0, ALPHA_VALUE_POINTS)
        self.ui_value_password = self._value_field(wx.TE_PASSWORD, ALPHA_VALUE_POINTS)
        self.ui_value_password.Hide()

        self.no_Shift = self._symbol_panel(self.UNSHIFTED_ROWS)
        self.Shift = self._symbol_panel(self.SHIFTED_ROWS)
        self.Shift.Hide()

        self.ui_caps_off_0 = self._letter_group(self.LETTER_ROWS[0])
        self.ui_caps_off_1 = self._letter_group(self.LETTER_ROWS[1])
        self.ui_caps_off_2 = self._letter_group(self.LETTER_ROWS[2])
        self.ui_caps_on_0 = self._letter_group(self.LETTER_ROWS[0].upper())
        self.ui_caps_on_1 = self._letter_group(self.LETTER_ROWS[1].upper())
        self.ui_caps_on_2 = self._letter_group(self.LETTER_ROWS[2].upper())
        self.ui_caps_lock_on = self._group_key(self.ui_caps_off_2, "Caps", self.on_caps_on,
                                               width=1.5)
        self.ui_caps_lock_off = self._group_key(self.ui_caps_on_2, "Caps", self.on_caps_off,
                                                width=1.5)
        self.ui_caps_lock_on.SetBackgroundColour(wx.Colour(*SHIFT_OFF_COLOUR))
        self.ui_caps_lock_off.SetBackgroundColour(wx.Colour(*SHIFT_ON_COLOUR))
        for group in (self.ui_caps_on_0, self.ui_caps_on_1, self.ui_caps_on_2):
            group.Hide()

        key = self._key
        # The shift keys are wx.Buttons, as the subclass expects: it colours them by the state.
        self.ui_shift_0, self.ui_shift_1, self.ui_shift_2, self.ui_shift_3 = (
            key("Shift", self.on_shift, kind=_exact_fit_button) for _ in range(4))
        for shift in (self.ui_shift_0, self.ui_shift_1, self.ui_shift_2, self.ui_shift_3):
            shift.SetBackgroundColour(wx.Colour(*SHIFT_OFF_COLOUR))
        self.ui_tab = key("Tab", self.on_character)
        self.ui_space = key("Space", self.on_character, char=" ")
        self.ui_backspace = key(BACKSPACE, self.on_backspace)
        self.ui_clear = key(CLEAR, self.on_clear)
        self.ui_cancel = key(CANCEL, self._on_cancel_key, id=wx.ID_CANCEL)
        self.ui_ok = key(CONFIRM, self._on_ok_key, id=wx.ID_OK)
        self._style_confirm(self.ui_ok)

        self._map_codes(self.ui_tab, wx.WXK_TAB, wx.WXK_NUMPAD_TAB)
        self._map_codes(self.ui_backspace, wx.WXK_BACK)
        self._map_codes(self.ui_clear, wx.WXK_DELETE, wx.WXK_NUMPAD_DELETE)
        self._map_codes(self.ui_ok, wx.WXK_RETURN, wx.WXK_NUMPAD_ENTER)
        self._map_codes(self.ui_cancel, wx.WXK_ESCAPE)

        size = self._key_size
        symbols = wx.BoxSizer(wx.VERTICAL)
        symbols.Add(self.no_Shift, 0, wx.EXPAND)
        symbols.Add(self.Shift, 0, wx.EXPAND)

        def row(left, groups, right):
            line = wx.BoxSizer(wx.HORIZONTAL)
            line.Add(_cell(left, size), 1, wx.EXPAND)
            for group in groups:
                line.Add(group, 0, wx.EXPAND | wx.LEFT, GAP)
            line.Add(_cell(right, size), 1, wx.EXPAND | wx.LEFT, GAP)
            return line

        bottom = wx.BoxSizer(wx.HORIZONTAL)
        bottom.Add(_cell(self.ui_clear, size), 2, wx.EXPAND)
        bottom.Add(_cell(self.ui_space, size), 8, wx.EXPAND | wx.LEFT, GAP)
        bottom.Add(_cell(self.ui_cancel, size), 2, wx.EXPAND | wx.LEFT, GAP)
        bottom.Add(_cell(self.ui_ok, size), 3, wx.EXPAND | wx.LEFT, GAP)

        body = wx.BoxSizer(wx.VERTICAL)
        body.Add(self.ui_message, 0, wx.BOTTOM, GAP)
        body.Add(self.ui_value_normal, 0, wx.EXPAND | wx.BOTTOM, 2 * GAP)
        body.Add(self.ui_value_password, 0, wx.EXPAND | wx.BOTTOM, 2 * GAP)
        body.Add(symbols, 0, wx.EXPAND | wx.BOTTOM, GAP)
        body.Add(row(self.ui_tab, (self.ui_caps_off_0, self.ui_caps_on_0), self.ui_backspace),
                 0, wx.EXPAND | wx.BOTTOM, GAP)
        body.Add(row(self.ui_shift_0, (self.ui_caps_off_1, self.ui_caps_on_1), self.ui_shift_1),
                 0, wx.EXPAND | wx.BOTTOM, GAP)
        body.Add(row(self.ui_shift_2, (self.ui_caps_off_2, self.ui_caps_on_2), self.ui_shift_3),
                 0, wx.EXPAND | wx.BOTTOM, GAP)
        body.Add(bottom, 0, wx.EXPAND)
        self._set_layout(body)

    def _group(self):
        panel = wx.Panel(self)
        panel.SetSizer(wx.BoxSizer(wx.HORIZONTAL))
        return panel

    def _group_key(self, group, caption, handler, char=None, width=1.0):
        k = self._key(caption, handler, parent=group, char=char)
        sizer = group.GetSizer()
        size = (int(self._key_size[0] * width), self._key_size[1])
        sizer.Add(_cell(k, size), 0, wx.EXPAND | (wx.LEFT if sizer.GetItemCount() else 0), GAP)
        return k

    def _letter_group(self, letters):
        group = self._group()
        for char in letters:
            self._group_key(group, char, self.on_character, char=char)
        return group

    def _symbol_panel(self, rows):
        panel = wx.Panel(self)
        column = wx.BoxSizer(wx.VERTICAL)
        for index, chars in enumerate(rows):
            line = wx.BoxSizer(wx.HORIZONTAL)
            for n, char in enumerate(chars):
                k = self._key(char, self.on_character, parent=panel, char=char)
                line.Add(_cell(k, self._key_size), 0, wx.EXPAND | (wx.LEFT if n else 0), GAP)
            column.Add(line, 0, wx.ALIGN_CENTER_HORIZONTAL | (wx.TOP if index else 0), GAP)
        panel.SetSizer(column)
        return panel

    def _on_ok_key(self, event):
        self._end(wx.ID_OK)

    # Override in subclass.
    def on_character(self, event):
        event.Skip()

    def on_backspace(self, event):
        event.Skip()

    def on_clear(self, event):
        event.Skip()

    def on_shift(self, event):
        event.Skip()

    def on_caps_on(self, event):
        event.Skip()

    def on_caps_off(self, event):
        event.Skip()
