"""The numeric keypad and the PIN pad: one key table each."""
import wx

from .captions import caption
from .characters import without_last_character
from .keypad import GAP, Keypad

DIGIT_KEY_SIZE = (80, 72)  # px at scale 1 for keys in DIGIT_KEY_POINTS; a bigger font grows it
DIGIT_KEY_POINTS = 20
DIGIT_VALUE_POINTS = 32
BOUNDS_POINTS = 14

class DigitForm(Keypad):
    """A digit keypad built from a key table.

    Each row of KEYS is (attribute, face, handler name, row, column, columns spanned). A face
    of one character is the caption typed by it and by the same physical key; a longer face
    is the name of a caption (clear, confirm, cancel, backspace).
    """

    KEYS = ()

    def _build_keys(self):
        grid = self._keys = self._grid(bag=True)
        for name, face, handler, row, column, span in self.KEYS:
            if len(face) == 1:
                key = self._key(face, getattr(self, handler), char=face)
            else:
                key = self._editing_key(face, getattr(self, handler))
            setattr(self, name, key)
            grid.Add(key.GetParent(), (row, column), (1, span), wx.EXPAND)
        for column in range(max(column + span for *_, column, span in self.KEYS)):
            grid.AddGrowableCol(column)
        return grid

    def _set_body(self, texts, keys):
        """The texts (each with the gap below it) above the keys; beside them on a screen too
        low for both (keys for gloves on a 480 px high panel)."""
        column = wx.BoxSizer(wx.VERTICAL)
        for item, gap in texts:
            self._add(column, item, 0, wx.EXPAND | wx.BOTTOM, gap)
        body = self._body = wx.BoxSizer(wx.VERTICAL)
        self._texts_item = body.Add(column, 0, wx.EXPAND)
        self._keys_item = self._add(body, keys, 1, wx.EXPAND, GAP)
        self._placed_for = None
        self._set_layout(body)

    def fit_into(self, room):
        if self._placed_for != room.height:
            self._placed_for = room.height
            self._place_texts(False)
            self._place_texts(self._need_at(self._floor_scale()).height > room.height)
        return Keypad.fit_into(self, room)

    def _place_texts(self, beside):
        self._body.SetOrientation(wx.HORIZONTAL if beside else wx.VERTICAL)
        # Beside the keys the texts take the width left; a share for both would make the
        # sizer as wide as twice the keys.
        self._texts_item.SetProportion(1 if beside else 0)
        self._keys_item.SetProportion(0 if beside else 1)
        self._keys_item.SetFlag(wx.EXPAND | (wx.LEFT if beside else 0))

    def _before_measure(self):
        # Equal columns: every key as wide as the widest caption needs of one column ("Löschen"
        # would otherwise widen its column alone).
        gap = self._px(GAP)
        keys = [(getattr(self, name), span) for name, _, _, _, _, span in self.KEYS]
        # (The key's own best size: its window's would not go below the width set here.)
        column = max(-(-(key.best_size().width - gap * (span - 1)) // span)
                     for key, span in keys)
        for key, span in keys:
            key.GetParent().SetMinSize((column * span + gap * (span - 1), -1))
        Keypad._before_measure(self)


class DigitKeypad(DigitForm):
    """Numeric keypad: digits, decimal point, sign, clear, backspace, Enter, Cancel.

    The key table below names every key; ui_backspace is the form's own (it drops the last
    character of mValueField, repeating while held), m_button17 ends the dialog with
    wx.ID_CANCEL, and on_enter (m_button16) is the subclass's, which ends it with wx.ID_OK.
    """

    KEYS = (
        ("m_button2", "7", "OnDigit", 0, 0, 1),
        ("m_button3", "8", "OnDigit", 0, 1, 1),
        ("m_button4", "9", "OnDigit", 0, 2, 1),
        ("ui_backspace", "backspace", "_on_backspace", 0, 3, 1),
        ("m_button5", "4", "OnDigit", 1, 0, 1),
        ("m_button6", "5", "OnDigit", 1, 1, 1),
        ("m_button7", "6", "OnDigit", 1, 2, 1),
        ("m_button15", "clear", "OnClearAll", 1, 3, 1),
        ("m_button8", "1", "OnDigit", 2, 0, 1),
        ("m_button9", "2", "OnDigit", 2, 1, 1),
        ("m_button10", "3", "OnDigit", 2, 2, 1),
        ("m_button12", "-", "OnNegative", 2, 3, 1),
        ("m_button11", "0", "OnDigit", 3, 0, 2),
        ("DotPoint", ".", "OnDot", 3, 2, 1),
        ("m_button13", "+", "OnPositive", 3, 3, 1),
        ("m_button17", "cancel", "_on_cancel_key", 4, 0, 2),
        ("m_button16", "confirm", "on_enter", 4, 2, 2),
    )

    def __init__(self, parent):
        Keypad.__init__(self, parent, caption("title_numeric"), DIGIT_KEY_POINTS,
                        DIGIT_KEY_SIZE)
        with self._building():
            self.ui_message = self._prompt("请输入数值：")
            self.mValueField = self._value_field(wx.ALIGN_RIGHT, DIGIT_VALUE_POINTS)
            self.m_staticText3 = self._caption(caption("minimum"), BOUNDS_POINTS)
            self.ui_minimum = self._caption("-\u221e", BOUNDS_POINTS)
            self.m_staticText5 = self._caption(caption("maximum"), BOUNDS_POINTS)
            self.ui_maxmum = self._caption("+\u221e", BOUNDS_POINTS)

            bounds = wx.BoxSizer(wx.HORIZONTAL)
            for text in (self.m_staticText3, self.ui_minimum):
                bounds.Add(text, 0, wx.ALIGN_CENTER_VERTICAL)
            # Keeps "-10.0" and the upper bound's caption apart when the bounds are long.
            self._add(bounds, wx.Size(0, 0), 1, wx.LEFT, 3 * GAP)
            for text in (self.m_staticText5, self.ui_maxmum):
                bounds.Add(text, 0, wx.ALIGN_CENTER_VERTICAL)

            self._set_body([(self.ui_message, 6), (self.mValueField, 6), (bounds, 12)],
                           self._build_keys())

    def _on_backspace(self, event):
        self.mValueField.SetValue(without_last_character(self.mValueField.GetValue()))

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


class DigitPasswordKeypad(DigitForm):
    """PIN keypad: digits only, the entry masked.

    DotPoint is the backspace here (ui_backspace is the same key). m_button12 and m_button13
    are the numeric pad's sign keys: a PIN has no sign and nothing else honest fits there, so
    they exist (the subclass styles all sixteen names) but stay hidden and out of the layout.
    on_confirm (m_button16) is the subclass's, which ends the dialog with wx.ID_OK.
    """

    KEYS = (
        ("m_button2", "7", "on_digit", 0, 0, 1),
        ("m_button3", "8", "on_digit", 0, 1, 1),
        ("m_button4", "9", "on_digit", 0, 2, 1),
        ("m_button5", "4", "on_digit", 1, 0, 1),
        ("m_button6", "5", "on_digit", 1, 1, 1),
        ("m_button7", "6", "on_digit", 1, 2, 1),
        ("m_button8", "1", "on_digit", 2, 0, 1),
        ("m_button9", "2", "on_digit", 2, 1, 1),
        ("m_button10", "3", "on_digit", 2, 2, 1),
        ("DotPoint", "backspace", "_on_backspace", 3, 0, 1),
        ("m_button11", "0", "on_digit", 3, 1, 1),
        ("m_button15", "clear", "on_clear", 3, 2, 1),
        ("m_button17", "cancel", "_on_cancel_key", 4, 0, 1),
        ("m_button16", "confirm", "on_confirm", 4, 1, 2),
    )

    def __init__(self, parent):
        Keypad.__init__(self, parent, caption("title_pin"), DIGIT_KEY_POINTS, DIGIT_KEY_SIZE)
        with self._building():
            self.ui_message = self._prompt(caption("prompt_pin"))
            self.ui_text = self._value_field(wx.ALIGN_CENTRE, DIGIT_VALUE_POINTS,
                                             password=True)
            keys = self._build_keys()
            self.ui_backspace = self.DotPoint
            self.m_button12 = self._key("")
            self.m_button13 = self._key("")
            self.m_button12.Hide()
            self.m_button13.Hide()

            self._set_body([(self.ui_message, 6), (self.ui_text, 12)], keys)

    def _on_backspace(self, event):
        self.ui_text.SetValue(without_last_character(self.ui_text.GetValue()))

    def _masked(self):
        return True

    # Override in subclass.
    def on_digit(self, event):
        event.Skip()

    def on_clear(self, event):
        event.Skip()

    def on_confirm(self, event):
        event.Skip()

