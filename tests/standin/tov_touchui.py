"""Stand-in form module: empty dialog classes under the real names."""
import wx


class DigitKeypad(wx.Dialog):
    def __init__(self, parent):
        self.parent = parent


class DigitPasswordKeypad(wx.Dialog):
    def __init__(self, parent):
        self.parent = parent


class AlphaKeypad(wx.Dialog):
    def __init__(self, parent):
        self.parent = parent
