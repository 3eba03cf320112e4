"""The text keyboard: symbol panels that the shift key swaps, letter groups that the caps keys
swap, the editing keys around them, and the layout they are filled from."""
import wx

import tov_wxtools

from . import composing, theme
from .captions import caption
from .drawn import DrawnControl
from .keypad import EDITING_CODES, GAP, Keypad
from .keys import TouchKey, fire_key
from .texts import Caption
from .layouts import LAYOUTS, get_layout

ALPHA_KEY_SIZE = (64, 64)
ALPHA_KEY_POINTS = 18
ALPHA_VALUE_POINTS = 24
SHIFT_OFF_COLOUR = (225, 225, 255)  # the colours the keypad class gives the shift keys
SHIFT_ON_COLOUR = (255, 128, 0)
LETTER_ROWS = 3


class CandidateKey(TouchKey):
    """A candidate's key: as wide as the row gives it, whatever the candidate, so the row does
    not jump as the candidates change."""

    def measured_text(self):
        return "M"


class Composition(Caption):
    """The pinyin being composed: the end of it where it is longer than its place, which it
    never widens."""

    def SetLabel(self, label):
        DrawnControl.SetLabel(self, label)

    def DoGetBestSize(self):
        return wx.Size(self.scaled(2 * ALPHA_KEY_SIZE[0]), self.text_size("Mg")[1])

    def draw(self, dc, size):
        dc.SetFont(self.drawing_font())
        dc.SetTextForeground(self.palette.text)
        width, height = self.text_size(self.GetLabel())
        dc.DrawText(self.GetLabel(), min(0, size.width - width), (size.height - height) // 2)


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

    In the pinyin layout the letters compose Chinese: a row above the keys (ui_candidates)
    shows the composition and the engine's candidates, ◀ ▶ page through them, and a touched
    candidate, or Space for the first, is typed through on_character; ⌫ edits the composition
    first, the field only when there is none. Any other key commits the composition first, so
    that text lands in the order typed (see composing.py). A password never composes.
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
        # The keypad class shows the masked field for a password: nothing composes then.
        self.ui_value_password.Bind(wx.EVT_SHOW, self._on_masked_shown)

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
        self.ui_tab = self._key("Tab", self._on_text_key, face=caption("tab"))
        self._map_codes(self.ui_tab, *EDITING_CODES["tab"])
        self.ui_space = self._key("Space", self._on_space_key, face=caption("space"))
        self.ui_backspace = self._editing_key("backspace", self._on_backspace_key)
        self.ui_clear = self._editing_key("clear", self._on_clear_key)
        self.ui_cancel = self._editing_key("cancel", self._on_cancel_key)
        self.ui_ok = self._editing_key("confirm", self._on_ok_key, id=wx.ID_OK)
        self.ui_layout = self._key("", self._on_layout_key, units=1.5)
        # Carries what a physical keyboard or an input method types that no key shows.
        self._typist = self._key("", self.on_character)
        self._typist.Hide()
        self._composer = None
        self._build_candidates()

        rows = self._keys = wx.BoxSizer(wx.VERTICAL)
        symbols = wx.BoxSizer(wx.VERTICAL)
        symbols.Add(self.no_Shift, 0, wx.EXPAND)
        symbols.Add(self.Shift, 0, wx.EXPAND)
        self._add(rows, symbols, 0, wx.EXPAND | wx.BOTTOM, GAP)
        sides = [(self.ui_tab, self.ui_backspace),
                 (shift_frames[0], shift_frames[1]),
                 (shift_frames[2], shift_frames[3])]
        for row, (left, right) in enumerate(sides):
            line = wx.BoxSizer(wx.HORIZONTAL)
            line.Add(left, 1, wx.EXPAND)
            for group in (getattr(self, "ui_caps_off_%d" % row),
                          getattr(self, "ui_caps_on_%d" % row)):
                self._add(line, group, 0, wx.EXPAND | wx.LEFT, GAP)
            self._add(line, right, 1, wx.EXPAND | wx.LEFT, GAP)
            self._add(rows, line, 0, wx.EXPAND | wx.BOTTOM, GAP)
        bottom = wx.BoxSizer(wx.HORIZONTAL)
        bottom.Add(self.ui_clear, 2, wx.EXPAND)
        for key, share in ((self.ui_layout, 2), (self.ui_space, 7), (self.ui_cancel, 2),
                           (self.ui_ok, 3)):
            self._add(bottom, key, share, wx.EXPAND | wx.LEFT, GAP)
        rows.Add(bottom, 0, wx.EXPAND)

        body = wx.BoxSizer(wx.VERTICAL)
        self._add(body, self.ui_message, 0, wx.EXPAND | wx.BOTTOM, 6)
        self._add(body, self.ui_value_normal, 0, wx.EXPAND | wx.BOTTOM, 12)
        self._add(body, self.ui_value_password, 0, wx.EXPAND | wx.BOTTOM, 12)
        self._add(body, self.ui_candidates, 0, wx.EXPAND | wx.BOTTOM, GAP)
        self._add(body, rows, 1, wx.EXPAND)
        self._home = layout_name  # the layout the switch key comes back to
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
        engine = layout.get("engine")
        self._composer = composing.Composer(engine, self._show_candidates, self._commit) \
            if engine else None
        self.ui_candidates.Show(bool(engine))
        self._show_candidates("", [], False, False)
        # Composing, the lower-case letters go to the engine; every other key commits the
        # composition first, then types itself.
        typing = self._on_text_key if engine else self.on_character
        self._fill_symbols(self.no_Shift, layout["symbols"], alternatives, typing)
        self._fill_symbols(self.Shift, layout["shifted_symbols"], alternatives, typing)
        for row, letters in enumerate(layout["letters"]):
            off = getattr(self, "ui_caps_off_%d" % row)
            on = getattr(self, "ui_caps_on_%d" % row)
            for group, case, handler in ((off, str, self._on_letter_key if engine
                                          else self.on_character),
                                         (on, upper, typing)):
                self._clear(group)
                for char in letters:
                    self._group_key(group, case(char), handler, char=case(char),
                                    alternatives=case(alternatives.get(char, "")))
        last = LETTER_ROWS - 1
        self.ui_caps_lock_on = self._caps_key(getattr(self, "ui_caps_off_%d" % last),
                                              self.on_caps_on, SHIFT_OFF_COLOUR)
        self.ui_caps_lock_off = self._caps_key(getattr(self, "ui_caps_on_%d" % last),
                                               self.on_caps_off, SHIFT_ON_COLOUR)
        other = layout.get("alternate") or self._home
        self.ui_layout.SetLabel(LAYOUTS[other]["tag"] if other != name else "")
        self.ui_layout.Show(other != name)

    def _on_layout_key(self, event):
        """Switches to the alternate layout (Latin for Russian and Greek) and back."""
        alternate = LAYOUTS[self._home].get("alternate")
        if alternate:
            self._end_composition(as_typed=True)
            self.Freeze()
            try:
                self._fill(alternate if self._layout_name == self._home else self._home)
            finally:
                self.Thaw()
            tov_wxtools.window_fit_layout(self)

    def _fill_symbols(self, panel, rows, alternatives, handler):
        self._clear(panel)
        for index, chars in enumerate(rows):
            line = wx.BoxSizer(wx.HORIZONTAL)
            for n, char in enumerate(chars):
                key = self._key(char, handler, parent=panel, char=char,
                                alternatives=alternatives.get(char, ""))
                self._add(line, key, 0, wx.EXPAND | (wx.LEFT if n else 0), GAP, owner=panel)
            self._add(panel.GetSizer(), line, 0,
                      wx.ALIGN_CENTER_HORIZONTAL | (wx.TOP if index else 0), GAP, owner=panel)

    def _group_key(self, group, caption_text, handler, char=None, units=1.0,
                   alternatives=""):
        key = self._key(caption_text, handler, parent=group, char=char, units=units,
                        alternatives=alternatives)
        sizer = group.GetSizer()
        self._add(sizer, key, 0, wx.EXPAND | (wx.LEFT if sizer.GetItemCount() else 0), GAP,
                  owner=group)
        return key

    def _caps_key(self, group, handler, colour):
        key = self._group_key(group, caption("caps"), handler, units=1.5)
        key.SetBackgroundColour(wx.Colour(*colour))
        key.SetForegroundColour(theme.ink_on(wx.Colour(*colour)))
        return key

    # -- Chinese -------------------------------------------------------------------------------

    def _build_candidates(self):
        self.ui_candidates = self._group()
        row = self.ui_candidates.GetSizer()
        self.ui_composition = Composition(self.ui_candidates, "", self.palette)
        self.ui_composition.SetFont(self._key_font)
        row.Add(self.ui_composition, 3, wx.EXPAND)
        self._candidate_keys = []
        for _ in range(composing.PAGE):
            key = CandidateKey(self.ui_candidates, wx.ID_ANY, "", floor=self._key_size,
                               base_points=self._key_points, palette=self.palette)
            key.SetFont(self._key_font)
            self._wire(key, self._on_candidate, None)
            self._add(row, key, 2, wx.EXPAND | wx.LEFT, GAP)
            self._candidate_keys.append(key)
        self.ui_previous = self._key("\u25c0", self._on_page_key, parent=self.ui_candidates)
        self.ui_next = self._key("\u25b6", self._on_page_key, parent=self.ui_candidates)
        for key in (self.ui_previous, self.ui_next):
            self._add(row, key, 0, wx.EXPAND | wx.LEFT, GAP)
        self.ui_candidates.Hide()

    def _show_candidates(self, composition, candidates, has_previous, has_next):
        self.ui_composition.SetLabel(composition)
        for index, key in enumerate(self._candidate_keys):
            key.SetLabel(candidates[index] if index < len(candidates) else "")
            key.Enable(index < len(candidates))
        self.ui_previous.Enable(has_previous)
        self.ui_next.Enable(has_next)

    def _commit(self, text):
        self._typist.SetLabel(text)
        fire_key(self._typist)

    def _on_letter_key(self, event):
        letter = event.GetEventObject().GetLabel()
        if self._composer.takes(letter):
            self._composer.type(letter)
        else:
            self.on_character(event)  # the separator, with nothing to separate: itself

    def _on_text_key(self, event):
        self._end_composition()
        self.on_character(event)

    def _end_composition(self, as_typed=False):
        """Commits the composition ahead of what comes next: as the engine converts it, or,
        `as_typed`, as the letters typed."""
        if self._composing():
            if as_typed:
                self._composer.commit_typed()
            else:
                self._composer.commit_first()

    def _on_candidate(self, event):
        self._composer.choose(self._candidate_keys.index(event.GetEventObject()))

    def _on_page_key(self, event):
        self._composer.turn(1 if event.GetEventObject() is self.ui_next else -1)

    def _composing(self):
        return self._composer is not None and self._composer.composing()

    # Space, ⌫ and clear act on the composition while there is one, else they are the
    # keypad class's own keys.
    def _on_space_key(self, event):
        if self._composing():
            self._composer.take_first()
        else:
            self.on_character(event)

    def _on_backspace_key(self, event):
        if not (self._composing() and self._composer.backspace()):
            self.on_backspace(event)

    def _on_clear_key(self, event):
        if self._composer is not None:
            self._composer.clear()
        self.on_clear(event)

    # -- typing without a key ------------------------------------------------------------------

    def _type(self, text):
        """What a physical keyboard or an input method typed that no key fires: each
        character goes to on_character, as the label of a key that is never shown (after the
        composition); on a composing layout, a key the engine composes (ü: v) goes to it."""
        for char in text:
            key = self._composer and composing.composing_key(self._composer.engine, char)
            if key and self._composer.takes(key):
                self._composer.type(key)
                continue
            self._end_composition()
            self._typist.SetLabel(char)
            fire_key(self._typist)

    def _on_ok_key(self, event):
        self._end_composition(as_typed=True)
        self._end(wx.ID_OK)

    def _on_masked_shown(self, event):
        """A password is typed on the Latin layout of the language, drawn only as dots: a
        composing layout (and its switch key) gives way to its Latin alternate."""
        event.Skip()
        if event.IsShown() and LAYOUTS[self._home].get("engine"):
            self._home = LAYOUTS[self._home]["alternate"]
            self._fill(self._home)

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
