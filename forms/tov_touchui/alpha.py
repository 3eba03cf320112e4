"""The text keyboard: symbol panels that the shift key swaps, letter groups that the caps keys
swap, and the editing keys around them."""
import wx

from . import theme
from .captions import caption
from .keypad import EDITING_CODES, Keypad
from .layouts import layout

ALPHA_KEY_SIZE = (64, 64)
ALPHA_KEY_POINTS = 18
ALPHA_VALUE_POINTS = 24
SHIFT_OFF_COLOUR = (225, 225, 255)  # the colours the keypad class gives the shift keys
SHIFT_ON_COLOUR = (255, 128, 0)


class AlphaKeypad(Keypad):
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
    group) -> on_caps_off. The shift keys are wx.Buttons, as the subclass expects: it colours
    them by the state.
    """

    def __init__(self, parent):
        Keypad.__init__(self, parent, caption("title_text"), ALPHA_KEY_POINTS, ALPHA_KEY_SIZE)
        with self._building():
            self._build(layout())

    def _build(self, keys):
        self.ui_message = self._prompt(caption("prompt_text"))
        self.ui_value_normal = self._value_field(wx.ALIGN_LEFT, ALPHA_VALUE_POINTS)
        self.ui_value_password = self._value_field(wx.ALIGN_LEFT, ALPHA_VALUE_POINTS,
                                                   password=True)
        self.ui_value_password.Hide()

        self.no_Shift = self._symbol_panel(keys["symbols"])
        self.Shift = self._symbol_panel(keys["shifted_symbols"])
        self.Shift.Hide()

        letters = keys["letters"]
        for row, chars in enumerate(letters):
            setattr(self, "ui_caps_off_%d" % row, self._letter_group(chars))
            setattr(self, "ui_caps_on_%d" % row, self._letter_group(chars.upper()))
            getattr(self, "ui_caps_on_%d" % row).Hide()
        last = len(letters) - 1
        self.ui_caps_lock_on = self._caps_key(getattr(self, "ui_caps_off_%d" % last),
                                              self.on_caps_on, SHIFT_OFF_COLOUR)
        self.ui_caps_lock_off = self._caps_key(getattr(self, "ui_caps_on_%d" % last),
                                               self.on_caps_off, SHIFT_ON_COLOUR)

        shift_frames = [self._shift_key(caption("shift"), self.on_shift) for _ in range(4)]
        for index, frame in enumerate(shift_frames):
            frame.button.SetBackgroundColour(wx.Colour(*SHIFT_OFF_COLOUR))
            setattr(self, "ui_shift_%d" % index, frame.button)
        # "Tab" and "Space" are the labels the keypad class types by: only the faces change.
        self.ui_tab = self._key("Tab", self.on_character, face=caption("tab"))
        self._map_codes(self.ui_tab, *EDITING_CODES["tab"])
        self.ui_space = self._key("Space", self.on_character, char=" ", face=caption("space"))
        self.ui_backspace = self._editing_key("backspace", self.on_backspace)
        self.ui_clear = self._editing_key("clear", self.on_clear)
        self.ui_cancel = self._editing_key("cancel", self._on_cancel_key)
        self.ui_ok = self._editing_key("confirm", self._on_ok_key, id=wx.ID_OK)

        rows = self._keys = wx.BoxSizer(wx.VERTICAL)
        symbols = wx.BoxSizer(wx.VERTICAL)
        symbols.Add(self.no_Shift, 0, wx.EXPAND)
        symbols.Add(self.Shift, 0, wx.EXPAND)
        self._add(rows, symbols, 0, wx.EXPAND | wx.BOTTOM, 10)
        sides = [(self.ui_tab, self.ui_backspace),
                 (shift_frames[0], shift_frames[1]),
                 (shift_frames[2], shift_frames[3])]
        for row, (left, right) in enumerate(sides):
            line = wx.BoxSizer(wx.HORIZONTAL)
            line.Add(left, 1, wx.EXPAND)
            for group in (getattr(self, "ui_caps_off_%d" % row),
                          getattr(self, "ui_caps_on_%d" % row)):
                self._add(line, group, 0, wx.EXPAND | wx.LEFT, 10)
            self._add(line, right, 1, wx.EXPAND | wx.LEFT, 10)
            self._add(rows, line, 0, wx.EXPAND | wx.BOTTOM, 10)
        bottom = wx.BoxSizer(wx.HORIZONTAL)
        bottom.Add(self.ui_clear, 2, wx.EXPAND)
        for key, share in ((self.ui_space, 8), (self.ui_cancel, 2), (self.ui_ok, 3)):
            self._add(bottom, key, share, wx.EXPAND | wx.LEFT, 10)
        rows.Add(bottom, 0, wx.EXPAND)

        body = wx.BoxSizer(wx.VERTICAL)
        self._add(body, self.ui_message, 0, wx.EXPAND | wx.BOTTOM, 6)
        self._add(body, self.ui_value_normal, 0, wx.EXPAND | wx.BOTTOM, 12)
        self._add(body, self.ui_value_password, 0, wx.EXPAND | wx.BOTTOM, 12)
        self._add(body, rows, 1, wx.EXPAND)
        self._set_layout(body)

    def _group_key(self, group, caption_text, handler, char=None, units=1.0):
        key = self._key(caption_text, handler, parent=group, char=char, units=units)
        sizer = group.GetSizer()
        self._add(sizer, key, 0, wx.EXPAND | (wx.LEFT if sizer.GetItemCount() else 0), 10)
        return key

    def _letter_group(self, letters):
        group = self._group()
        for char in letters:
            self._group_key(group, char, self.on_character, char=char)
        return group

    def _caps_key(self, group, handler, colour):
        key = self._group_key(group, caption("caps"), handler, units=1.5)
        key.SetBackgroundColour(wx.Colour(*colour))
        key.SetForegroundColour(theme.ink_on(wx.Colour(*colour)))
        return key

    def _symbol_panel(self, rows):
        panel = self._group(wx.VERTICAL)
        for index, chars in enumerate(rows):
            line = wx.BoxSizer(wx.HORIZONTAL)
            for n, char in enumerate(chars):
                key = self._key(char, self.on_character, parent=panel, char=char)
                self._add(line, key, 0, wx.EXPAND | (wx.LEFT if n else 0), 10)
            self._add(panel.GetSizer(), line, 0,
                      wx.ALIGN_CENTER_HORIZONTAL | (wx.TOP if index else 0), 10)
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
