# Type stubs for the tov_touchui keypad forms, for CPython 3.6 to 3.14.
from typing import Callable

import wx

__all__ = ["DigitKeypad", "DigitPasswordKeypad", "AlphaKeypad", "TouchKey"]

DIGIT_KEY_SIZE: tuple[int, int]
ALPHA_KEY_SIZE: tuple[int, int]
DIGIT_KEY_POINTS: int
ALPHA_KEY_POINTS: int
DIGIT_VALUE_POINTS: int
ALPHA_VALUE_POINTS: int
PROMPT_POINTS: int
BOUNDS_POINTS: int
GAP: int
FIELD_MIN_WIDTH: int
FIELD_PADDING: int
BORDER: int

SHIFT_OFF_COLOUR: tuple[int, int, int]
SHIFT_ON_COLOUR: tuple[int, int, int]
CONFIRM_COLOUR: tuple[int, int, int]
CONFIRM_TEXT_COLOUR: tuple[int, int, int]
VALUE_COLOUR: tuple[int, int, int]
KEY_FACE_COLOUR: tuple[int, int, int]
KEY_EDGE_COLOUR: tuple[int, int, int]
KEY_TEXT_COLOUR: tuple[int, int, int]
KEY_RADIUS: int
KEY_PADDING: tuple[int, int]

# Key captions, the way tests and walk-throughs find the keys on screen.
BACKSPACE: str
CLEAR: str
CONFIRM: str
CANCEL: str

def typed_char(event: wx.KeyEvent) -> str | None: ...
def fire_key(key: wx.Window) -> None: ...

# wx.siplib.wrappertype, the metaclass of every wxPython class. wxPython has no type stubs, so a
# checker sees wx.Dialog as Any; naming the metaclass keeps the stubs true to the runtime classes.
class _WrapperType(type): ...

class TouchKey(wx.Control, metaclass=_WrapperType):
    def __init__(self, parent: wx.Window, id: int = ..., label: str = "") -> None: ...
    def SetLabel(self, label: str) -> None: ...
    def SetFont(self, font: wx.Font) -> bool: ...
    def GetFont(self) -> wx.Font: ...
    def SetBackgroundColour(self, colour: wx.Colour) -> bool: ...
    def SetForegroundColour(self, colour: wx.Colour) -> bool: ...
    def Enable(self, enable: bool = True) -> bool: ...
    def Disable(self) -> bool: ...
    def DoGetBestSize(self) -> wx.Size: ...

class _ValueField(wx.TextCtrl, metaclass=_WrapperType):
    def __init__(self, parent: wx.Window, style: int, min_width: int) -> None: ...
    def SetFont(self, font: wx.Font) -> bool: ...

class _Keypad(wx.Dialog, metaclass=_WrapperType):
    def __init__(self, parent: wx.Window | None, title: str, key_points: int,
                 key_size: tuple[int, int]) -> None: ...
    def _key(self, caption: str, handler: Callable[[wx.CommandEvent], object] | None = None,
             parent: wx.Window | None = None, id: int = ..., char: str | None = None,
             kind: Callable[[wx.Window, int, str], wx.Window] = ...) -> wx.Window: ...
    def _end(self, code: int) -> None: ...

class DigitKeypad(_Keypad):
    ui_message: wx.StaticText
    mValueField: wx.TextCtrl
    m_staticText3: wx.StaticText
    ui_minimum: wx.StaticText
    m_staticText5: wx.StaticText
    ui_maxmum: wx.StaticText
    m_button2: TouchKey
    m_button3: TouchKey
    m_button4: TouchKey
    m_button5: TouchKey
    m_button6: TouchKey
    m_button7: TouchKey
    m_button8: TouchKey
    m_button9: TouchKey
    m_button10: TouchKey
    m_button11: TouchKey
    DotPoint: TouchKey
    m_button12: TouchKey
    m_button13: TouchKey
    m_button15: TouchKey
    m_button16: TouchKey
    m_button17: TouchKey
    ui_backspace: TouchKey
    def __init__(self, parent: wx.Window | None) -> None: ...
    def OnDigit(self, event: wx.CommandEvent) -> None: ...
    def OnDot(self, event: wx.CommandEvent) -> None: ...
    def OnNegative(self, event: wx.CommandEvent) -> None: ...
    def OnPositive(self, event: wx.CommandEvent) -> None: ...
    def OnClearAll(self, event: wx.CommandEvent) -> None: ...
    def on_enter(self, event: wx.CommandEvent) -> None: ...

class DigitPasswordKeypad(_Keypad):
    ui_message: wx.StaticText
    ui_text: wx.TextCtrl
    m_button2: TouchKey
    m_button3: TouchKey
    m_button4: TouchKey
    m_button5: TouchKey
    m_button6: TouchKey
    m_button7: TouchKey
    m_button8: TouchKey
    m_button9: TouchKey
    m_button10: TouchKey
    m_button11: TouchKey
    DotPoint: TouchKey
    m_button12: TouchKey
    m_button13: TouchKey
    m_button15: TouchKey
    m_button16: TouchKey
    m_button17: TouchKey
    ui_backspace: TouchKey
    def __init__(self, parent: wx.Window | None) -> None: ...
    def on_digit(self, event: wx.CommandEvent) -> None: ...
    def on_clear(self, event: wx.CommandEvent) -> None: ...
    def on_confirm(self, event: wx.CommandEvent) -> None: ...

class AlphaKeypad(_Keypad):
    UNSHIFTED_ROWS: tuple[str, str]
    SHIFTED_ROWS: tuple[str, str]
    LETTER_ROWS: tuple[str, str, str]
    ui_message: wx.StaticText
    ui_value_normal: wx.TextCtrl
    ui_value_password: wx.TextCtrl
    no_Shift: wx.Panel
    Shift: wx.Panel
    ui_caps_off_0: wx.Panel
    ui_caps_off_1: wx.Panel
    ui_caps_off_2: wx.Panel
    ui_caps_on_0: wx.Panel
    ui_caps_on_1: wx.Panel
    ui_caps_on_2: wx.Panel
    ui_caps_lock_on: TouchKey
    ui_caps_lock_off: TouchKey
    ui_shift_0: wx.Button
    ui_shift_1: wx.Button
    ui_shift_2: wx.Button
    ui_shift_3: wx.Button
    ui_tab: TouchKey
    ui_space: TouchKey
    ui_backspace: TouchKey
    ui_clear: TouchKey
    ui_cancel: TouchKey
    ui_ok: TouchKey
    def __init__(self, parent: wx.Window | None) -> None: ...
    def on_character(self, event: wx.CommandEvent) -> None: ...
    def on_backspace(self, event: wx.CommandEvent) -> None: ...
    def on_clear(self, event: wx.CommandEvent) -> None: ...
    def on_shift(self, event: wx.CommandEvent) -> None: ...
    def on_caps_on(self, event: wx.CommandEvent) -> None: ...
    def on_caps_off(self, event: wx.CommandEvent) -> None: ...
