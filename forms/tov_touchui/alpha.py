"""The text keyboard: symbol panels that the shift key swaps, letter groups that the caps keys
swap, the editing keys around them, and the layout they are filled from."""
import wx

import tov_wxtools

from . import theme
from .captions import caption
from .keypad import EDITING_CODES, Keypad
from .keys import TouchKey, fire_key
from .layouts import LAYOUTS, get_layout

ALPHA_KEY_SIZE = (64, 64)
ALPHA_KEY_POINTS = 18
ALPHA_VALUE_POINTS = 24
SHIFT_OFF_COLOUR = (225, 225, 255)  # the colours the keypad class gives the shift keys
SHIFT_ON_COLOUR = (255, 128, 0)
LETTER_ROWS = 3


def upper(text):
    """Upper case, character by character: "ß" has no one-character capital and stays."""
    return "".join(c.upper() if len(c.upper()) == 1 else c for c in text)


class AlphaKeypad(Keypad):
    """Full keyboard for text and passwords, in the layout chosen with set_layout() (by
    default the language's).

    Two pairs of key groups swap, driven by the subclass: `no_Shift` / `Shift` (digits and
    punctuation, unshifted / shifted, each symbol where its base key is) and the letter rows
    `ui_caps_off_N` / `ui_caps_on_N`. The shift keys, Tab, Space and the editing keys sit
    outside the swapping groups and never move. In the US layout:

        no_Shift:  ` 1 2 3 4 5 6 7 8 9 0 - =        Shift:  ~ ! @ # $ % ^ & * ( ) _ +
                     [ ] \\ ; ' , . /                          { } | : " < > ?
        Tab      q w e r t y u i o p        ⌫
        Shift    a s d f g h j k l          Shift       (ui_shift_0, ui_shift_1)
        Shift    z x c v b n m Caps         Shift       (ui_shift_2, ui_shift_3)
        Clear    [layout]  Space           Cancel  OK

    The Caps key is part of the letter group, so the one in view always switches to the
    other state: ui_caps_lock_on (caps-off group) -> on_caps_on, ui_caps_lock_off (caps-on
    group) -> on_caps_off. The shift keys are wx.Buttons, as the subclass expects: it colours
    them by the state. A layout with an alternate (Russian, Greek: Latin) has a key that
    switches between the two (ui_layout). Holding a key offers its alternatives (accented
    letters, AltGr symbols); a character typed on a physical keyboard or committed by an input
    method that no key shows arrives through on_character all the same.
    """

    def __init__(self, parent):
        Keypad.__init__(self, parent, caption("title_text"), ALPHA_KEY_POINTS, ALPHA_KEY_SIZE)
        with self._building():
            self._build(get_layout())

    def _build(self, layout_name):
        self.ui_message = self._prompt(caption("prompt_text"))
        self.ui_value_normal = self._value_field(wx.ALIGN_LEFT, ALPHA_VALUE_POINTS)
        self.ui_value_password = self._value_field(wx.ALIGN_LEFT, ALPHA_VALUE_POINTS,
                                                   password=True)
        self.ui_value_password.Hide()
        for field in (self.ui_value_normal, self.ui_value_password):
            field.on_typed = self._type

        self.no_Shift = self._group(wx.VERTICAL)
        self.Shift = self._group(wx.VERTICAL)
        self.Shift.Hide()
        for row in range(LETTER_ROWS):
            setattr(self, "ui_caps_off_%d" % row, self._group())
            setattr(self, "ui_caps_on_%d" % row, self._group())
            getattr(self, "ui_caps_on_%d" % row).Hide()

        shift_frames = [self._shift_key(caption("shift"), self.on_shift) for _ in range(4)]
        for index, frame in enumerate(shift_frames):
            frame.button.SetBackgroundColour(wx.Colour(*SHIFT_OFF_COLOUR))
            setattr(self, "ui_shift_%d" % index, frame.button)
        # "Tab" and "Space" are the labels the keypad class types by: only the faces change.
        self.ui_tab = self._key("Tab", self.on_character, face=caption("tab"))
        self._map_codes(self.ui_tab, *EDITING_CODES["tab"])
        self.ui_space = self._key("Space", self.on_character, face=caption("space"))
        self.ui_backspace = self._editing_key("backspace", self.on_backspace)
        self.ui_clear = self._editing_key("clear", self.on_clear)
        self.ui_cancel = self._editing_key("cancel", self._on_cancel_key)
        self.ui_ok = self._editing_key("confirm", self._on_ok_key, id=wx.ID_OK)
        self.ui_layout = self._key("", self._on_layout_key, units=1.5)
        # Carries what a physical keyboard or an input method types that no key shows.
        self._typist = self._key("", self.on_character)
        self._typist.Hide()

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
        for key, share in ((self.ui_layout, 2), (self.ui_space, 7), (self.ui_cancel, 2),
                           (self.ui_ok, 3)):
            self._add(bottom, key, share, wx.EXPAND | wx.LEFT, 10)
        rows.Add(bottom, 0, wx.EXPAND)

        body = wx.BoxSizer(wx.VERTICAL)
        self._add(body, self.ui_message, 0, wx.EXPAND | wx.BOTTOM, 6)
        self._add(body, self.ui_value_normal, 0, wx.EXPAND | wx.BOTTOM, 12)
        self._add(body, self.ui_value_password, 0, wx.EXPAND | wx.BOTTOM, 12)
        self._add(body, rows, 1, wx.EXPAND)
        self._fill(layout_name)
        self._set_layout(body)

    # -- the keys of a layout ------------------------------------------------------------------

    def layout_name(self):
        """The layout whose keys are in view."""
        return self._layout_name

    def _fill(self, name):
        """Puts the keys of layout `name` into the symbol panels and letter groups."""
        self._layout_name = name
        layout = LAYOUTS[name]
        self._keys_by_char = {" ": [self.ui_space]}
        alternatives = layout.get("alternatives", {})
        self._fill_symbols(self.no_Shift, layout["symbols"], alternatives)
        self._fill_symbols(self.Shift, layout["shifted_symbols"], alternatives)
        for row, letters in enumerate(layout["letters"]):
            off = getattr(self, "ui_caps_off_%d" % row)
            on = getattr(self, "ui_caps_on_%d" % row)
            for group, case in ((off, str), (on, upper)):
                self._clear(group)
                for char in letters:
                    self._group_key(group, case(char), self.on_character, char=case(char),
                                    alternatives=case(alternatives.get(char, "")))
        last = LETTER_ROWS - 1
        self.ui_caps_lock_on = self._caps_key(getattr(self, "ui_caps_off_%d" % last),
                                              self.on_caps_on, SHIFT_OFF_COLOUR)
        self.ui_caps_lock_off = self._caps_key(getattr(self, "ui_caps_on_%d" % last),
                                               self.on_caps_off, SHIFT_ON_COLOUR)
        other = layout.get("alternate") or self._home_layout()
        self.ui_layout.SetLabel(LAYOUTS[other]["tag"] if other != name else "")
        self.ui_layout.Show(other != name)
        self._keys_by_char.setdefault(" ", [self.ui_space])
        self._scaled = None  # new keys: the next fit scales them

    def _home_layout(self):
        return getattr(self, "_home", self._layout_name)

    def _on_layout_key(self, event):
        """Switches to the alternate layout (Latin for Russian and Greek) and back."""
        home = self._home = self._home_layout()
        alternate = LAYOUTS[home].get("alternate")
        if alternate:
            self.Freeze()
            try:
                self._fill(alternate if self._layout_name == home else home)
                self._home = home
            finally:
                self.Thaw()
            self._refit()

    def _refit(self):
        tov_wxtools.window_fit_layout(self)

    def _fill_symbols(self, panel, rows, alternatives):
        self._clear(panel)
        for index, chars in enumerate(rows):
            line = wx.BoxSizer(wx.HORIZONTAL)
            for n, char in enumerate(chars):
                key = self._key(char, self.on_character, parent=panel, char=char,
                                alternatives=alternatives.get(char, ""))
                self._add(line, key, 0, wx.EXPAND | (wx.LEFT if n else 0), 10, owner=panel)
            self._add(panel.GetSizer(), line, 0,
                      wx.ALIGN_CENTER_HORIZONTAL | (wx.TOP if index else 0), 10, owner=panel)

    def _group_key(self, group, caption_text, handler, char=None, units=1.0,
                   alternatives=""):
        key = self._key(caption_text, handler, parent=group, char=char, units=units,
                        alternatives=alternatives)
        sizer = group.GetSizer()
        self._add(sizer, key, 0, wx.EXPAND | (wx.LEFT if sizer.GetItemCount() else 0), 10,
                  owner=group)
        return key

    def _caps_key(self, group, handler, colour):
        key = self._group_key(group, caption("caps"), handler, units=1.5)
        key.SetBackgroundColour(wx.Colour(*colour))
        key.SetForegroundColour(theme.ink_on(wx.Colour(*colour)))
        return key

    # -- typing without a key ------------------------------------------------------------------

    def _type(self, text):
        """What a physical keyboard or an input method typed that no key fires: each
        character goes to on_character, as the label of a key that is never shown."""
        for char in text:
            self._typist.SetLabel(char)
            fire_key(self._typist)

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
