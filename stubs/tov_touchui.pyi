# Type stubs for the tov_touchui keypad forms, for CPython 3.6 to 3.14.
from typing import Callable

import wx

__all__ = ["DigitKeypad", "DigitPasswordKeypad", "AlphaKeypad", "TouchKey", "THEMES",
           "set_theme", "get_theme", "LANGUAGES", "set_language", "get_language", "LAYOUTS",
           "set_layout", "get_layout", "caption", "without_last_character", "EVT_KEYPAD_OK",
           "EVT_KEYPAD_CANCEL", "KeypadEvent", "set_smallest_key", "get_smallest_key"]

THEMES: tuple[str, ...]
LANGUAGES: tuple[str, ...]
# name -> {"tag": str, "symbols": (str, str), "shifted_symbols": (str, str),
#          "letters": (str, str, str), "alternatives": {str: str}, "alternate": str}
LAYOUTS: dict[str, dict[str, object]]

# Sent to a bound control, and up to its parents, when its keypad ends: OK once the confirmed
# text is written (and the control's own events sent), CANCEL when nothing was written.
EVT_KEYPAD_OK: wx.PyEventBinder
EVT_KEYPAD_CANCEL: wx.PyEventBinder

# Each setter raises TypeError for any other kind of argument and ValueError for an unknown
# name (set_layout also RuntimeError for "pinyin" without its engine), changing nothing; each
# getter returns the name from its own table.
def set_theme(name: str) -> None: ...
def get_theme() -> str: ...
def set_language(code: str | None) -> None: ...
def get_language() -> str: ...
def set_layout(name: str | None) -> None: ...
def get_layout() -> str: ...
def caption(name: str, language: str | None = None) -> str: ...
def without_last_character(text: str) -> str: ...
def set_smallest_key(millimetres: float | None, pixels_per_mm: float | None = None) -> None: ...
def get_smallest_key() -> tuple[float, float | None] | None: ...
def typed_char(event: wx.KeyEvent) -> str | None: ...
def fire_key(key: wx.Window) -> None: ...

# wx.siplib.wrappertype, the metaclass of every wxPython class. wxPython has no type stubs, so a
# checker sees wx.Dialog as Any; naming the metaclass keeps the stubs true to the runtime classes.
class _WrapperType(type): ...

class KeypadEvent(wx.PyCommandEvent, metaclass=_WrapperType):
    def __init__(self, event_type: int, control: wx.Window, text: str = "", row: int = -1,
                 col: int = -1) -> None: ...
    def GetRow(self) -> int: ...
    def GetCol(self) -> int: ...

class _Palette:
    name: str
    window: wx.Colour
    text: wx.Colour
    field: wx.Colour
    field_text: wx.Colour
    field_edge: wx.Colour
    key: wx.Colour
    key_text: wx.Colour
    key_edge: wx.Colour
    key_pressed: wx.Colour
    key_pressed_text: wx.Colour
    key_disabled_text: wx.Colour
    accent: wx.Colour
    accent_text: wx.Colour
    modifier: wx.Colour
    modifier_text: wx.Colour
    latched: wx.Colour
    latched_text: wx.Colour

class _DrawnControl(wx.Control, metaclass=_WrapperType):
    palette: _Palette
    def SetLabel(self, label: str) -> None: ...
    def SetFont(self, font: wx.Font) -> bool: ...
    def GetFont(self) -> wx.Font: ...
    def set_scale(self, scale: float) -> None: ...
    def DoGetBestSize(self) -> wx.Size: ...
    def draw(self, dc: wx.DC, size: wx.Size) -> None: ...

class TouchKey(_DrawnControl):
    def __init__(self, parent: wx.Window, id: int = ..., label: str = "",
                 floor: tuple[float, float] = ..., base_points: int | None = None,
                 repeat: bool = False, face: str | None = None,
                 palette: _Palette | None = None, alternatives: str = "",
                 preview: bool = False, least: int = 44) -> None: ...
    def SetBackgroundColour(self, colour: wx.Colour) -> bool: ...
    def GetBackgroundColour(self) -> wx.Colour: ...
    def SetForegroundColour(self, colour: wx.Colour) -> bool: ...
    def GetForegroundColour(self) -> wx.Colour: ...
    def Enable(self, enable: bool = True) -> bool: ...
    def Disable(self) -> bool: ...
    def face_text(self) -> str: ...
    def measured_text(self) -> str: ...
    def offer_closed(self) -> None: ...

class _Caption(_DrawnControl):
    def wrap(self, width: int | None) -> None: ...

class _ValueField(_DrawnControl):
    def GetValue(self) -> str: ...
    def SetValue(self, value: str) -> None: ...
    def ChangeValue(self, value: str) -> None: ...
    def IsPassword(self) -> bool: ...
    on_typed: Callable[[str], object] | None

class _Keypad(wx.Dialog, metaclass=_WrapperType):
    # The theme's palette and the language the keypad opened with; it keeps both while open.
    palette: _Palette
    language: str
    def fit_into(self, room: wx.Size) -> float: ...
    def show_preview(self, key: TouchKey) -> None: ...
    def hide_preview(self, key: TouchKey) -> None: ...
    def offer_area(self) -> wx.Rect: ...

class _DigitForm(_Keypad):
    # (attribute, face, handler name, row, column, columns spanned)
    KEYS: tuple[tuple[str, str, str, int, int, int], ...]

class DigitKeypad(_DigitForm):
    ui_message: _Caption
    mValueField: _ValueField
    m_staticText3: _Caption
    ui_minimum: _Caption
    m_staticText5: _Caption
    ui_maxmum: _Caption
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

class DigitPasswordKeypad(_DigitForm):
    ui_message: _Caption
    ui_text: _ValueField
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
    ui_message: _Caption
    ui_value_normal: _ValueField
    ui_value_password: _ValueField
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
    ui_shift_0: TouchKey
    ui_shift_1: TouchKey
    ui_shift_2: TouchKey
    ui_shift_3: TouchKey
    ui_tab: TouchKey
    ui_space: TouchKey
    ui_backspace: TouchKey
    ui_clear: TouchKey
    ui_cancel: TouchKey
    ui_ok: TouchKey
    ui_layout: TouchKey
    ui_page: TouchKey  # on a narrow screen: the letters page or the digits and symbols page
    # The pinyin layout's row: the composition, the candidates, and the page keys.
    ui_candidates: wx.Panel
    ui_composition: _Caption
    ui_previous: TouchKey
    ui_next: TouchKey
    def __init__(self, parent: wx.Window | None) -> None: ...
    def layout_name(self) -> str: ...
    def fit_into(self, room: wx.Size) -> float: ...
    def on_character(self, event: wx.CommandEvent) -> None: ...
    def on_backspace(self, event: wx.CommandEvent) -> None: ...
    def on_clear(self, event: wx.CommandEvent) -> None: ...
    def on_shift(self, event: wx.CommandEvent) -> None: ...
    def on_caps_on(self, event: wx.CommandEvent) -> None: ...
    def on_caps_off(self, event: wx.CommandEvent) -> None: ...
