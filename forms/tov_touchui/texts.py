"""Drawn texts: the captions (prompt, range labels) and the value field."""
import re

import wx

import tov_wxtools

from .drawn import DrawnControl

FIELD_PADDING = (10, 6)  # around the text, at scale 1
FIELD_EDGE = 2
MASK = "\u25cf"          # ● for each character of a password
ELLIPSIS = "\u2026"
_WORDS = re.compile(r"\S+\s*|\s+")


class Caption(DrawnControl):
    """A static text drawn in the palette's text colour; wraps when given a width.

    The label is shown as given: "&" is a character, not a mnemonic.
    """

    def __init__(self, parent, label="", palette=None):
        DrawnControl.__init__(self, parent, wx.ID_ANY, label, palette)
        self._wrap_width = None
        self.SetCanFocus(False)

    def SetLabel(self, label):
        DrawnControl.SetLabel(self, label)
        # A label set after the keypad was laid out (the range bounds) may need more room.
        width = self.GetSize().width
        if width and self.GetBestSize().width > width:
            tov_wxtools.window_fit_layout(self.GetTopLevelParent())

    def wrap(self, width):
        """Break the label into lines no wider than `width` px (None: one line)."""
        if width != self._wrap_width:
            self._wrap_width = width
            self._changed()

    def lines(self):
        text = self.GetLabel()
        if not self._wrap_width or self.text_size(text)[0] <= self._wrap_width:
            return [text]
        lines, line = [], ""
        for word in _WORDS.findall(text):
            for piece in self._pieces(word):
                if line and self.text_size(line + piece)[0] > self._wrap_width:
                    lines.append(line.rstrip())
                    line = piece.lstrip()
                else:
                    line += piece
        lines.append(line)
        return lines

    def _pieces(self, word):
        # A word wider than the line (Chinese has no spaces) breaks between its characters.
        if self.text_size(word)[0] <= self._wrap_width:
            return [word]
        return list(word)

    def DoGetBestSize(self):
        lines = self.lines()
        line_height = self.text_size("Mg")[1]
        width = max(self.text_size(line)[0] for line in lines) if lines[0] else 0
        return wx.Size(width, line_height * len(lines))

    def draw(self, dc, size):
        dc.SetFont(self.drawing_font())
        dc.SetTextForeground(self.palette.text)
        line_height = self.text_size("Mg")[1]
        for index, line in enumerate(self.lines()):
            dc.DrawText(line, 0, index * line_height)


class ValueField(DrawnControl):
    """The large read-only field showing what the keys typed.

    It holds any text, however long (GTK's entry stops at 65,534 characters), shows as much of
    the end as fits, with the caret after the last character where the keys add text, and
    masks every character in password mode. It takes the keyboard focus, so a physical
    keyboard reaches the keypad's char hook.
    """

    def __init__(self, parent, align=wx.ALIGN_LEFT, password=False, min_width=160,
                 palette=None):
        DrawnControl.__init__(self, parent, wx.ID_ANY, "", palette)
        self._value = ""
        self._align = align
        self._password = password
        self._min_width = min_width
        self.on_typed = None  # the form's: gets the text typed that no key stood for
        self.Bind(wx.EVT_SET_FOCUS, self._on_focus)
        self.Bind(wx.EVT_KILL_FOCUS, self._on_focus)
        self.Bind(wx.EVT_CHAR, self._on_char)

    def AcceptsFocus(self):
        return True

    def GetValue(self):
        self.check_alive()
        return self._value

    def SetValue(self, value):
        self.check_alive()
        if not isinstance(value, str):
            raise TypeError("SetValue(): argument 1 has unexpected type %r"
                            % type(value).__name__)
        self._value = value
        self.Refresh()

    ChangeValue = SetValue

    def IsPassword(self):
        return self._password

    def shown_text(self):
        return MASK * len(self._value) if self._password else self._value

    def DoGetBestSize(self):
        height = self.text_size("Mg")[1]
        return wx.Size(self.scaled(self._min_width),
                       height + 2 * self.scaled(FIELD_PADDING[1] + FIELD_EDGE))

    def _on_char(self, event):
        # What reaches here is what the keypad's char hook found no key for: a character of
        # another layout, or the text an input method committed.
        code = event.GetUnicodeKey()
        if self.on_typed is None or code < 0x20 or code == 0x7F or event.HasModifiers():
            event.Skip()
            return
        self.on_typed(chr(code))

    def _on_focus(self, event):
        event.Skip()
        self.Refresh()

    @staticmethod
    def _tail_that_fits(dc, text, room):
        """The end of `text` that fits in `room` px (dc has the font), an ellipsis before it
        when cut."""
        tail = text[-(room // 2 + 1):]  # glyphs are wider than 2 px: nothing earlier can show
        widths = dc.GetPartialTextExtents(tail)
        if len(tail) == len(text) and widths[-1] <= room:
            return text
        room -= dc.GetTextExtent(ELLIPSIS)[0]
        start = 0
        while start < len(tail) and widths[-1] - (widths[start - 1] if start else 0) > room:
            start += 1
        return ELLIPSIS + tail[start:]

    def draw(self, dc, size):
        width, height = size
        edge = max(1, self.scaled(FIELD_EDGE))
        pad = self.scaled(FIELD_PADDING[0])
        palette = self.palette
        dc.SetPen(wx.Pen(palette.field_edge, edge))
        dc.SetBrush(wx.Brush(palette.field))
        half = edge // 2
        dc.DrawRectangle(half, half, width - edge + 1, height - edge + 1)
        dc.SetFont(self.drawing_font())
        dc.SetTextForeground(palette.field_text)
        room = max(0, width - 2 * (pad + edge) - edge)
        text = self._tail_that_fits(dc, self.shown_text(), room) if self._value else ""
        text_width, text_height = dc.GetTextExtent(text) if text else (0, self.text_size("Mg")[1])
        if self._align == wx.ALIGN_RIGHT:
            x = width - pad - edge - edge - text_width
        elif self._align == wx.ALIGN_CENTRE:
            x = (width - text_width) // 2
        else:
            x = pad + edge
        y = (height - text_height) // 2
        if text:
            dc.DrawText(text, x, y)
        # The caret: where the next key adds its character.
        dc.SetPen(wx.Pen(palette.field_text, max(1, edge)))
        caret = x + text_width + 1
        dc.DrawLine(caret, y, caret, y + text_height)
