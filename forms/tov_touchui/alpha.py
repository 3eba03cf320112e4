"""The text keyboard: symbol panels that the shift key swaps, letter groups that the caps keys
swap, the editing keys around them, and the layout they are filled from."""
import math
import unicodedata

import wx

import tov_wxtools

from . import composing
from .captions import caption
from .drawn import MIN_GAP, DrawnControl, scaled_font
from .keypad import BORDER, EDITING_CODES, GAP, Keypad
from .keys import KeyGroup, TouchKey, fire_key
from .texts import Caption
from .layouts import LAYOUTS, get_layout

ALPHA_KEY_SIZE = (64, 64)
ALPHA_KEY_POINTS = 18
ALPHA_VALUE_POINTS = 24
SHIFT_OFF_COLOUR = (225, 225, 255)  # the colours the keypad class gives the shift keys
SHIFT_ON_COLOUR = (255, 128, 0)
LETTER_ROWS = 3
TIGHT_GAP = 4       # px at scale 1 between keys, and around them, on a narrow screen
TIGHT_BORDER = 6
MIN_PER_LINE = 5    # a narrow screen's lines never hold fewer keys than this
PORTRAIT_KEY = 56   # px: a portrait screen shows one page at a time before keys get smaller
SYMBOLS_FACE = "?123"  # the page key, on the letters page
LETTERS_FACE = "ABC"   # ... and on the symbols page, unless the layout names its own
# The pages of a narrow screen: the rows of letters on each, then the symbols; where the
# screen is too low for all the rows of letters, they go on two pages, or three.
ALL_LETTERS, SYMBOLS = (0, 1, 2), ()
LETTER_PAGES = ([ALL_LETTERS, SYMBOLS], [(0, 1), (2,), SYMBOLS], [(0,), (1,), (2,), SYMBOLS])


def _lines(row, most, key_size):
    """`row` of keys in as few lines as hold at most `most` key widths each (None: one line),
    as evenly filled as they can be."""
    units = [key._floor[0] / float(key_size[0]) for key in row]
    if most is None or sum(units) <= most:
        return [row]
    count = int(-(-sum(units) // most))
    while True:
        share, lines, line, width = sum(units) / count, [], [], 0.0
        for key, unit in zip(row, units):
            if line and (width + unit > most or width >= share - 0.01):
                lines.append(line)
                line, width = [], 0.0
            line.append(key)
            width += unit
        lines.append(line)
        if len(lines) <= count:
            return lines
        count += 1


class CandidateKey(TouchKey):
    """A candidate's key: as wide as the row gives it, whatever the candidate, so the row does
    not jump as the candidates change; a long candidate (日本語を入力する) is drawn smaller to
    fit, down to half size."""

    MARGIN = 4  # px each side of a shrunk candidate

    def measured_text(self):
        return "M"

    def face_font(self, width):
        font = self.drawing_font()
        room = width - 2 * self.GetParent().scaled(self.MARGIN)
        text_width = self.GetParent().text_size(self.face_text(), font)[0]
        if 0 < room < text_width:
            # In steps of a twentieth: the fonts stay few, whatever the candidates.
            return scaled_font(font, max(0.5, math.floor(20.0 * room / text_width) / 20.0))
        return font


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
    """Upper case, character by character. A character stays as it is where its capital is not
    one character ("ß") or belongs to another script (MICRO SIGN µ would become GREEK CAPITAL
    LETTER MU, a look-alike that is not what the operator chose)."""
    return "".join(_capital(c) for c in text)


def _capital(char):
    capital = char.upper()
    if len(capital) != 1 or _script(capital) != _script(char):
        return char
    return capital


def _script(char):
    return unicodedata.name(char, "").split(" ")[0]


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
    group) -> on_caps_off. The subclass colours the shift keys by the state. The key groups
    are surfaces that draw their keys (KeyGroup): the keyboard opens without a window per key. A layout with an alternate (Russian, Greek: Latin) has a key that
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

        # The symbol panels and the letter groups each lie on a page of their own: on a wide
        # screen both pages are in view, on a narrow one the page key swaps them.
        # Each row of letters lies in a panel of its own, for a screen that shows the rows on
        # two or three pages (keys for gloves on a small panel).
        self._symbols_page = self._group(wx.VERTICAL)
        self._letters_page = self._group(wx.VERTICAL)
        self.no_Shift = self._surface(KeyGroup, self._symbols_page)
        self.Shift = self._surface(KeyGroup, self._symbols_page)
        self.Shift.Hide()
        self._letter_rows = [self._group(wx.VERTICAL, self._letters_page)
                             for _ in range(LETTER_ROWS)]
        for row, panel in enumerate(self._letter_rows):
            for state in ("off", "on"):
                group = self._surface(KeyGroup, panel)
                setattr(self, "ui_caps_%s_%d" % (state, row), group)
                panel.GetSizer().Add(group, 0, wx.ALIGN_CENTER_HORIZONTAL)
            getattr(self, "ui_caps_on_%d" % row).Hide()

        # The editing keys lie on four groups, and move between them as the keyboard is
        # arranged for the screen (see _arrange()): the columns beside the letters, the row
        # under them on a narrow screen, and the bottom row.
        self._left, self._right, self._edit_row, self._bottom = (
            self._surface(KeyGroup) for _ in range(4))
        bottom = self._bottom
        for index in range(4):
            key = self._key(caption("shift"), self.on_shift, parent=bottom)
            key.SetBackgroundColour(wx.Colour(*SHIFT_OFF_COLOUR))
            setattr(self, "ui_shift_%d" % index, key)
        # "Tab" and "Space" are the labels the keypad class types by: only the faces change.
        self.ui_tab = self._key("Tab", self._on_text_key, parent=bottom, face=caption("tab"))
        self._map_codes(self.ui_tab, *EDITING_CODES["tab"])
        self.ui_space = self._key("Space", self._on_space_key, parent=bottom,
                                  face=caption("space"))
        self.ui_backspace = self._editing_key("backspace", self._on_backspace_key, parent=bottom)
        self.ui_clear = self._editing_key("clear", self._on_clear_key, parent=bottom)
        self.ui_cancel = self._editing_key("cancel", self._on_cancel_key, parent=bottom)
        self.ui_ok = self._editing_key("confirm", self._on_ok_key, id=wx.ID_OK, parent=bottom)
        self.ui_layout = self._key("", self._on_layout_key, parent=bottom, units=1.5)
        self.ui_page = self._key(SYMBOLS_FACE, self._on_page_turn, parent=bottom, units=1.5)
        for key in (self.ui_layout, self.ui_page):
            key.SetBackgroundColour(wx.Colour(*SHIFT_OFF_COLOUR))
        # Carries what a physical keyboard or an input method types that no key shows: a key
        # in no line of its group, never drawn.
        self._typist = self._key("", self.on_character, parent=bottom)
        self._typist.Hide()
        self._composer = None
        self.ui_candidates = None  # built for the first layout that composes

        self._keys = wx.BoxSizer(wx.VERTICAL)  # the rows of keys, see _arrange()
        body = wx.BoxSizer(wx.VERTICAL)
        self._add(body, self.ui_message, 0, wx.EXPAND | wx.BOTTOM, 6)
        self._add(body, self.ui_value_normal, 0, wx.EXPAND | wx.BOTTOM, 12)
        self._add(body, self.ui_value_password, 0, wx.EXPAND | wx.BOTTOM, 12)
        self._add(body, self._keys, 1, wx.EXPAND)
        self._body = body
        self._home = layout_name  # the layout the switch key comes back to
        self._per_line = None     # keys in a line on a narrow screen; None: the full keyboard
        self._pages = [ALL_LETTERS, SYMBOLS]  # on a narrow screen: the rows of each page
        self._page = 0                         # ... and the page in view
        self._arranged_for = None
        self._fill(layout_name)
        self._arrange(None)
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
        if engine and self.ui_candidates is None:
            self._build_candidates()
        if self.ui_candidates is not None:
            self.ui_candidates.Show(bool(engine))
            offers = bool(engine) and composing.ENGINES[engine].get("candidates", True)
            for key in self._candidate_keys + [self.ui_previous, self.ui_next]:
                key.Show(offers)  # Hangul: the syllable being typed only
            self._show_candidates("", [], False, False)
        # Composing, the lower-case letters go to the engine; every other key commits the
        # composition first, then types itself.
        typing = self._on_text_key if engine else self.on_character
        self._fill_symbols(self.no_Shift, layout["symbols"], alternatives, typing)
        self._fill_symbols(self.Shift, layout["shifted_symbols"], alternatives, typing)
        # Caps types the capitals, or a layout's own caps rows (Hangul: the double consonants).
        caps_rows = layout.get("caps_letters") or [upper(row) for row in layout["letters"]]
        for row, (letters, capitals) in enumerate(zip(layout["letters"], caps_rows)):
            for group, chars, case in ((getattr(self, "ui_caps_off_%d" % row), letters, str),
                                       (getattr(self, "ui_caps_on_%d" % row), capitals, upper)):
                group.clear()
                group.rows = [[self._key(char, self._handler(char, typing), parent=group,
                                         char=char, alternatives=case(alternatives.get(base, "")))
                               for base, char in zip(letters, chars)]]
        last = LETTER_ROWS - 1
        self.ui_caps_lock_on = self._caps_key(getattr(self, "ui_caps_off_%d" % last),
                                              self.on_caps_on, SHIFT_OFF_COLOUR)
        self.ui_caps_lock_off = self._caps_key(getattr(self, "ui_caps_on_%d" % last),
                                               self.on_caps_off, SHIFT_ON_COLOUR)
        other = layout.get("alternate") or self._home
        self.ui_layout.SetLabel(LAYOUTS[other]["tag"] if other != name else "")
        self.ui_layout.Show(other != name)
        self._letters_face = layout.get("letters_face", LETTERS_FACE)
        self._letters = layout["letters"]
        self._show_page()

    def _on_layout_key(self, event):
        """Switches to the alternate layout (Latin for Russian and Greek) and back."""
        alternate = LAYOUTS[self._home].get("alternate")
        if alternate:
            self._end_composition(as_typed=True)
            self.Freeze()
            try:
                self._fill(alternate if self._layout_name == self._home else self._home)
                self._lay_out_panels()
            finally:
                self.Thaw()
            tov_wxtools.window_fit_layout(self)

    def _fill_symbols(self, panel, rows, alternatives, handler):
        panel.clear()
        panel.rows = [[self._key(char, self._handler(char, handler), parent=panel, char=char,
                                 alternatives=alternatives.get(char, "")) for char in chars]
                      for chars in rows]

    def _handler(self, char, typing):
        """The key of `char` composes where the engine takes it (the letters of pinyin, every
        jamo, every zhuyin symbol and tone, wherever the layout puts them); else it types."""
        composes = self._composer and composing.composing_key(self._composer.engine, char)
        return self._on_letter_key if composes else typing

    def _caps_key(self, group, handler, colour):
        key = self._key(caption("caps", self.language), handler, parent=group, units=1.5)
        key.SetBackgroundColour(wx.Colour(*colour))
        group.rows[-1].append(key)
        return key

    # -- arranging the keys for the screen -----------------------------------------------------

    def fit_into(self, room):
        self._choose_arrangement(room)
        return Keypad.fit_into(self, room)

    def _choose_arrangement(self, room):
        """The full keyboard where it fits the width with keys at their smallest; else the
        narrow screen's: one page at a time, as many keys in a line as fit; where the screen
        is also too low (keys for gloves), the editing keys in one row and the letters on two
        or three pages."""
        if self._arranged_for == (room, self._layout_name):
            return
        self._arranged_for = (wx.Size(room), self._layout_name)
        floor = self._floor_scale()
        # Upright, the full keyboard must keep bigger keys than that, or the pages win.
        full = max(floor, PORTRAIT_KEY / float(min(self._key_size))) \
            if room.height > room.width else floor
        # No line longer than the longest row of letters: both pages then keep one key size.
        longest = max(len(row) for panel in self._key_panels()[2:] for row in panel.rows)
        most = int((room.width + MIN_GAP) // (self._least + MIN_GAP))
        for per_line in [None] + list(range(min(longest, most), MIN_PER_LINE - 1, -1)):
            self._arrange(per_line)
            need = self._need_on_every_page(full if per_line is None else floor)
            if need.width <= room.width:
                break
        # Too low: the editing keys into the bottom row, then the letters on more pages.
        for pages in LETTER_PAGES:
            if per_line is None or need.height <= room.height:
                break
            self._arrange(per_line, one_row=True, pages=pages)
            need = self._need_on_every_page(floor)

    def _need_on_every_page(self, scale):
        """The size the keypad needs at `scale` with whichever page is in view."""
        if self._per_line is None:
            return self._need_at(scale)
        shown = self._page
        need = wx.Size(0, 0)
        for page in range(len(self._pages)):
            self._page = page
            self._show_page()
            need.IncTo(self._need_at(scale))
        self._page = shown
        self._show_page()
        return need

    def _before_measure(self):
        # The keypad class shows and hides the panels inside the pages, which keep what they
        # measured before.
        for page in [self._symbols_page, self._letters_page] + self._letter_rows:
            page.InvalidateBestSize()
        Keypad._before_measure(self)

    def _key_panels(self):
        return [self.no_Shift, self.Shift] + [
            getattr(self, "ui_caps_%s_%d" % (state, row))
            for row in range(LETTER_ROWS) for state in ("off", "on")]

    def _gap(self):
        return GAP if self._per_line is None else TIGHT_GAP

    def _lay_out_panels(self):
        """Lines the keys of every panel up, each row in lines of at most _per_line keys."""
        for panel in self._key_panels():
            panel.set_lines([line for row in panel.rows
                             for line in _lines(row, self._per_line, self._key_size)],
                            self._gap())

    def _arrange(self, per_line, one_row=False, pages=(ALL_LETTERS, SYMBOLS)):
        """The full keyboard (per_line None): symbols above the letters, Tab, Shift and the
        editing keys beside them. A narrow screen's (phone-like): one of `pages` (the rows of
        letters on each, or the symbols), then a row with the page key, Tab, Shift (symbols
        page) and ⌫, then the bottom row; `one_row`: all in the bottom row."""
        self._per_line = per_line
        self._pages = list(pages)
        self._page = min(self._page, len(self._pages) - 1)
        gap = self._gap()
        self._lay_out_panels()
        rows = self._keys
        for owner in ("rows", self._symbols_page, self._letters_page):
            self._borders.pop(owner, None)
        for sizer in (rows, self._symbols_page.GetSizer(), self._letters_page.GetSizer()):
            sizer.Clear(delete_windows=False)
        symbols = self._symbols_page.GetSizer()
        for panel in (self.no_Shift, self.Shift):
            symbols.Add(panel, 0, wx.ALIGN_CENTER_HORIZONTAL)
        letters = self._letters_page.GetSizer()
        for row, panel in enumerate(self._letter_rows):
            self._add(letters, panel, 0, wx.ALIGN_CENTER_HORIZONTAL | (wx.TOP if row else 0),
                      gap, owner=self._letters_page)
        shifts = [getattr(self, "ui_shift_%d" % n) for n in range(4)]
        full, edit_row = per_line is None, per_line is not None and not one_row
        if full:
            self._add(rows, self._symbols_page, 0, wx.EXPAND | wx.BOTTOM, gap, owner="rows")
            middle = wx.BoxSizer(wx.HORIZONTAL)
            for column, keys in ((self._left, (self.ui_tab, shifts[0], shifts[2])),
                                 (self._right, (self.ui_backspace, shifts[1], shifts[3]))):
                column.set_lines([[key] for key in keys], gap, dict.fromkeys(keys, 1))
            self._add(middle, self._left, 1, wx.EXPAND)
            self._add(middle, self._letters_page, 0, wx.EXPAND | wx.LEFT, gap, owner="rows")
            self._add(middle, self._right, 1, wx.EXPAND | wx.LEFT, gap, owner="rows")
            self._add(rows, middle, 0, wx.EXPAND | wx.BOTTOM, gap, owner="rows")
        else:
            for page in (self._letters_page, self._symbols_page):
                self._add(rows, page, 0, wx.EXPAND | wx.BOTTOM, gap, owner="rows")
            if edit_row:
                self._edit_row.set_lines(
                    [[self.ui_page, self.ui_tab, shifts[0], None, self.ui_backspace]], gap)
                self._add(rows, self._edit_row, 0, wx.EXPAND | wx.BOTTOM, gap, owner="rows")
        for group, shown in ((self._left, full), (self._right, full),
                             (self._edit_row, edit_row)):
            group.Show(shown)
        bottom_keys = [(self.ui_clear, 2), (self.ui_layout, 2), (self.ui_space, 7),
                       (self.ui_cancel, 2), (self.ui_ok, 3)]
        if one_row:
            bottom_keys[0:0] = [(self.ui_page, 0), (self.ui_tab, 0), (shifts[0], 0)]
            bottom_keys.insert(-2, (self.ui_backspace, 0))
        # Shares of the width where it is plenty; on a narrow screen Space takes what is left
        # (a share makes a line as wide as its most demanding key needs at that share).
        if not full:
            bottom_keys = [(key, int(key is self.ui_space)) for key, _ in bottom_keys]
        self._bottom.set_lines([[key for key, _ in bottom_keys]], gap,
                               {key: share for key, share in bottom_keys if share})
        rows.Add(self._bottom, 0, wx.EXPAND)
        self._set_border(BORDER if full else TIGHT_BORDER)
        self._show_page()

    def _show_page(self):
        """Shows what the arrangement has in view: everything on a wide screen, else the page
        chosen, with the keys that belong to it."""
        narrow = self._per_line is not None
        rows = self._pages[self._page] if narrow else ALL_LETTERS
        self._letters_page.Show(rows != SYMBOLS)
        self._symbols_page.Show(not narrow or rows == SYMBOLS)
        for row, panel in enumerate(self._letter_rows):
            panel.Show(row in rows)
        self.ui_page.Show(narrow)
        if narrow:
            self.ui_page.SetLabel(self._page_face(self._pages[(self._page + 1)
                                                             % len(self._pages)]))
        self.ui_shift_0.Show(not narrow or rows == SYMBOLS)
        for n in (1, 2, 3):
            getattr(self, "ui_shift_%d" % n).Show(not narrow)

    def _page_face(self, rows):
        """What the page key shows for the page of `rows`: ?123, ABC, or the first letters of
        its first row where the letters take more than one page."""
        if rows == SYMBOLS:
            return SYMBOLS_FACE
        return self._letters_face if rows[0] == 0 else upper(self._letters[rows[0]][:3])

    def _on_page_turn(self, event):
        """On a narrow screen: the next page, from the letters to the digits and symbols."""
        self._page = (self._page + 1) % len(self._pages)
        self.Freeze()
        try:
            self._show_page()
        finally:
            self.Thaw()
        tov_wxtools.window_fit_layout(self)

    def _masked(self):
        return self.ui_value_password.IsShown()

    # -- Chinese -------------------------------------------------------------------------------

    def _build_candidates(self):
        """The row of the composition and its candidates, between the value and the keys."""
        self.ui_candidates = self._group()
        self._add(self._body, self.ui_candidates, 0, wx.EXPAND | wx.BOTTOM, GAP,
                  index=self._body.GetItemCount() - 1)
        self._scaled = None
        row = self.ui_candidates.GetSizer()
        self.ui_composition = Composition(self.ui_candidates, "", self.palette)
        self.ui_composition.SetFont(self._key_font)
        row.Add(self.ui_composition, 3, wx.EXPAND)
        # The candidates share the row's width, ◀ ▶ keep their own.
        keys = self._surface(KeyGroup, self.ui_candidates)
        self._add(row, keys, 2 * composing.PAGE, wx.EXPAND | wx.LEFT, GAP)
        self._candidate_keys = [self._key("", self._on_candidate, parent=keys, kind=CandidateKey)
                                for _ in range(composing.PAGE)]
        self.ui_previous = self._key("\u25c0", self._on_page_key, parent=keys)
        self.ui_next = self._key("\u25b6", self._on_page_key, parent=keys)
        keys.set_lines([self._candidate_keys + [self.ui_previous, self.ui_next]], GAP,
                       dict.fromkeys(self._candidate_keys, 1))

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
        if self._composing() and composing.ENGINES[self._composer.engine]["space"] != "type":
            self._composer.take_first()
        else:
            self._on_text_key(event)  # Hangul: the syllable, then the space

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
