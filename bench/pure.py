"""The module's two touch keypads and their binding written in plain Python, for comparison.

Each class does what its tov_touch counterpart does, with the same wx calls in the same order,
on the same forms; nothing here is used by the module.
"""
import math

import wx

import dispatch
import tov_touchui
import tov_wxtools

from gui import DIGIT_KEY_NAMES as DIGIT_KEYS  # tests/, on the path bench.py sets up

KEYPAD_MODE_INT, KEYPAD_MODE_FLOAT = 0, 1


def keypad_font(size):
    return wx.Font(size, wx.FONTFAMILY_DEFAULT, wx.FONTSTYLE_NORMAL, wx.FONTWEIGHT_NORMAL, False,
                   wx.EmptyString)


class DigitKeypad(tov_touchui.DigitKeypad):

    def __init__(self, parent, mode, minimum=-math.inf, maximum=math.inf, message=None,
                 font_size=20, show_size=None):
        tov_touchui.DigitKeypad.__init__(self, parent)
        field_size = font_size + 12 if show_size is None else show_size
        if message is None:
            message = "请输入一个整数：" if mode == KEYPAD_MODE_INT else "请输入一个浮点数："
        self.ui_message.SetLabel(message)
        small_font = keypad_font(font_size)
        for name in DIGIT_KEYS:
            getattr(self, name).SetFont(small_font)
        self.mValueField.SetFont(keypad_font(field_size))
        for label in (self.m_staticText3, self.ui_minimum, self.ui_maxmum, self.m_staticText5):
            label.SetFont(small_font)
        self._mode, self._minimum, self._maximum = mode, minimum, maximum
        tov_wxtools.window_fit_layout(self)
        if minimum != -math.inf:
            self.ui_minimum.SetLabel(str(minimum))
        if maximum != math.inf:
            self.ui_maxmum.SetLabel(str(maximum))
        if mode == KEYPAD_MODE_INT:
            self.DotPoint.Disable()

    out_of_range = dispatch.python_def  # the very body the dispatch benchmark times

    def OnDigit(self, event):
        label = event.GetEventObject().GetLabel()
        old = self.mValueField.GetValue()
        if old == "0":
            old = ""
        elif old == "-0":
            old = "-"
        self.mValueField.SetValue(old + label)

    def OnClearAll(self, event):
        self.mValueField.SetValue("")

    def OnDot(self, event):
        old = self.mValueField.GetValue()
        if old.find(".") == -1:
            self.mValueField.SetValue(old + ".")

    def OnNegative(self, event):
        self.mValueField.SetValue("-" + self.mValueField.GetValue().strip("-"))

    def OnPositive(self, event):
        self.mValueField.SetValue(self.mValueField.GetValue().strip("-"))

    def get_value(self):
        return self.mValueField.GetValue()

    def set_value(self, value):
        self.mValueField.SetValue(value)

    def on_enter(self, event):
        text = self.mValueField.GetValue()
        if text == "" or text == "-" or text == "-.":
            wx.MessageBox("Invalid number format. Please input again.",
                          style=wx.OK | wx.ICON_ERROR)
            return
        try:
            value = int(text) if self._mode == KEYPAD_MODE_INT else float(text)
        except ValueError:
            wx.MessageBox("Invalid number format. Please input again.",
                          style=wx.OK | wx.ICON_ERROR)
            return
        if self.out_of_range(value):
            wx.MessageBox("Number value is out of range. Please input again.",
                          style=wx.OK | wx.ICON_ERROR)
            return
        self.EndModal(wx.ID_OK)


class AlphaKeypad(tov_touchui.AlphaKeypad):

    def __init__(self, parent, widget=None, password_mode=None, message=""):
        self.shift = self.caps = False
        self._widget = widget
        tov_touchui.AlphaKeypad.__init__(self, parent)
        if password_mode is None and widget is not None:
            password_mode = bool(widget.GetWindowStyle() & wx.TE_PASSWORD)
        if password_mode:
            self.ui_value_normal.Hide()
            self.ui_value_password.Show()
            self._text_field = self.ui_value_password
        else:
            self.ui_value_password.Hide()
            self.ui_value_normal.Show()
            self._text_field = self.ui_value_normal
        if message:
            self.ui_message.SetLabel(message)
        else:
            self.ui_message.Hide()
        self.Shift.Hide()
        for group in (self.ui_caps_on_0, self.ui_caps_on_1, self.ui_caps_on_2):
            group.Hide()
        tov_wxtools.window_fit_layout(self)

    def get_value(self):
        return self._text_field.GetValue()

    def set_value(self, value):
        self._text_field.SetValue(value)


def bind_touch(ctrl, make_keypad, focus):
    """What the proxies do: a left press on `ctrl` (given the focus first when `focus`, as the
    text binding does) opens the keypad pre-filled with its text and writes the confirmed value
    back."""
    def on_left_down(event):
        if focus:
            ctrl.SetFocus()
        keypad = make_keypad(ctrl.GetParent())
        try:
            keypad.set_value(ctrl.GetValue().strip())
            if keypad.ShowModal() == wx.ID_OK:
                ctrl.SetValue(keypad.get_value())
        finally:
            keypad.Destroy()
    ctrl.Bind(wx.EVT_LEFT_DOWN, on_left_down)
