"""The text keyboard on the real form: password mode, prompt, keys, shift and caps."""
import pytest
import wx
import wx.grid

import tov_touch
import tov_touchui
from gui import KEY_TYPES, click, flush_events, press, run_modal

pytestmark = pytest.mark.timeout(60)

ON, OFF = wx.Colour(255, 128, 0), wx.Colour(225, 225, 255)
CAPS_ON = ["ui_caps_on_0", "ui_caps_on_1", "ui_caps_on_2"]
CAPS_OFF = ["ui_caps_off_0", "ui_caps_off_1", "ui_caps_off_2"]
SHIFT_KEYS = ["ui_shift_0", "ui_shift_1", "ui_shift_2", "ui_shift_3"]


@pytest.fixture
def make(frame):
    """Makes the dialog over the test's frame; the frame fixture destroys it afterwards."""
    return lambda *args, **kwargs: tov_touch.AlphaKeypad(frame, *args, **kwargs)


def key(parent, label):
    """The key labelled `label` anywhere under `parent`, shown or not."""
    for child in parent.GetChildren():
        if isinstance(child, KEY_TYPES) and child.GetLabel() == label:
            return child
        found = _maybe(key, child, label)
        if found:
            return found
    raise LookupError(label)


def _maybe(find, parent, label):
    try:
        return find(parent, label)
    except LookupError:
        return None


def shown(keyboard, names):
    return [getattr(keyboard, name).IsShown() for name in names]


class Styled(object):
    def __init__(self, style):
        self.window_style = style


class NoStyleGrid(wx.grid.Grid):
    @property
    def window_style(self):
        raise AssertionError("a grid's style must not be read")


@pytest.mark.parametrize("password_mode, widget, masked", [
    (None, lambda f: None, False),
    (None, lambda f: NoStyleGrid(f), False),
    (None, lambda f: tov_touch._CtrlWrapper(wx.TextCtrl(f, style=wx.TE_PASSWORD)), True),
    (None, lambda f: tov_touch._CtrlWrapper(wx.TextCtrl(f)), False),
    (None, lambda f: Styled(wx.TE_PASSWORD | wx.TE_MULTILINE), True),
    (False, lambda f: Styled(wx.TE_PASSWORD), False),
    (1, lambda f: None, True),
    ("", lambda f: Styled(wx.TE_PASSWORD), False),
])
def test_password_mode(make, frame, password_mode, widget, masked):
    target = widget(frame)
    keyboard = make(target, password_mode)
    field = keyboard.ui_value_password if masked else keyboard.ui_value_normal
    other = keyboard.ui_value_normal if masked else keyboard.ui_value_password
    assert keyboard._AlphaKeypad__text_field is field
    assert field.IsShown() and not other.IsShown()
    assert keyboard._AlphaKeypad__widget is target


def test_widget_without_a_style_fails_and_leaves_no_window(make, frame):
    before = set(wx.GetTopLevelWindows())
    with pytest.raises(AttributeError):
        tov_touch.AlphaKeypad(frame, object())
    flush_events(20)
    assert set(wx.GetTopLevelWindows()) == before


def test_password_lives_only_in_the_masked_field(make):
    keyboard = make(password_mode=True)
    for name in ("p", "4"):
        press(key(keyboard, name))
    keyboard.set_value(keyboard.get_value() + "!")
    assert keyboard.ui_value_password.GetValue() == "p4!"
    assert keyboard.ui_value_normal.GetValue() == ""


@pytest.mark.parametrize("message, visible, label", [
    (None, False, None), ("", False, None), ("Name:", True, "Name:")])
def test_prompt(make, message, visible, label):
    keyboard = make(message=message)
    assert keyboard.ui_message.IsShown() is visible
    if label:
        assert keyboard.ui_message.GetLabel() == label


@pytest.mark.parametrize("message", [b"Name:", type("Text", (str,), {})("Name:"), 0])
def test_message_restriction_before_the_form(frame, message):
    before = len(wx.GetTopLevelWindows())
    with pytest.raises(TypeError, match="Argument 'message' has incorrect type"):
        tov_touch.AlphaKeypad(frame, message=message)
    assert len(wx.GetTopLevelWindows()) == before


def test_initial_state(make):
    keyboard = make()
    assert (keyboard.shift, keyboard.caps) == (False, False)
    assert not keyboard.Shift.IsShown() and keyboard.no_Shift.IsShown()
    assert shown(keyboard, CAPS_ON) == [False] * 3 and shown(keyboard, CAPS_OFF) == [True] * 3


class Label(object):
    def __init__(self, text):
        self.text = text

    def GetEventObject(self):
        return self

    def GetLabel(self):
        return self.text


@pytest.mark.parametrize("labels, text", [
    (["Tab"], "\t"), (["Space"], " "), (["tab", "SPACE"], "tabSPACE"), (["ab", "c"], "abc"),
    (["a", "Tab", "b", "Space"], "a\tb "),
])
def test_character_keys(make, labels, text):
    keyboard = make()
    for label in labels:
        keyboard.on_character(Label(label))
    assert keyboard.get_value() == text


def test_real_keys_type_their_captions(make):
    keyboard = make()
    for name in ("q", "Tab", "Space", "7", "&"):
        press(key(keyboard, name))
    assert keyboard.get_value() == "q\t 7&"


class Field(object):
    def __init__(self, value):
        self.value, self.writes = value, []

    def GetValue(self):
        return self.value

    def SetValue(self, value):
        self.writes.append(value)
        self.value = value


@pytest.mark.parametrize("start, writes", [("", []), ("ab", ["a"]), ("é", [""])])
def test_backspace_drops_the_last_character(make, start, writes):
    keyboard = make()
    keyboard._AlphaKeypad__text_field = field = Field(start)
    keyboard.on_backspace(None)
    assert field.writes == writes


def test_clear_and_unconverted_set_value(make):
    keyboard = make()
    keyboard._AlphaKeypad__text_field = field = Field("abc")
    keyboard.on_clear(None)
    keyboard.set_value(5)
    assert field.writes == ["", 5]


def test_shift_machine(make, monkeypatch):
    layouts = []
    monkeypatch.setattr(tov_touch, "window_fit_layout", layouts.append)
    keyboard = make()
    del layouts[:]
    press(keyboard.ui_shift_2)
    assert keyboard.shift is True and keyboard.Shift.IsShown() and not keyboard.no_Shift.IsShown()
    assert [getattr(keyboard, k).GetBackgroundColour() for k in SHIFT_KEYS] == [ON] * 4
    press(key(keyboard.Shift, "!"))
    assert keyboard.shift is True and keyboard.get_value() == "!"
    keyboard.on_shift(None)
    assert keyboard.shift is False and not keyboard.Shift.IsShown() and keyboard.no_Shift.IsShown()
    assert [getattr(keyboard, k).GetBackgroundColour() for k in SHIFT_KEYS] == [OFF] * 4
    assert layouts == [keyboard, keyboard]


def test_caps_machine(make, monkeypatch):
    layouts = []
    monkeypatch.setattr(tov_touch, "window_fit_layout", layouts.append)
    keyboard = make()
    keyboard.on_caps_off(None)
    assert shown(keyboard, CAPS_ON) == [False] * 3 and shown(keyboard, CAPS_OFF) == [True] * 3
    for _ in range(2):
        keyboard.on_caps_on(None)
        assert shown(keyboard, CAPS_ON) == [True] * 3 and shown(keyboard, CAPS_OFF) == [False] * 3
        assert keyboard.caps is True
    keyboard.on_caps_off(None)
    assert keyboard.caps is False and shown(keyboard, CAPS_OFF) == [True] * 3
    assert len(layouts) == 1 + 4
    assert keyboard.shift is False


def test_a_missing_caps_group_fails_as_python_would(make):
    keyboard = make()
    del keyboard.ui_caps_on_1
    with pytest.raises(AttributeError, match="ui_caps_on_1"):
        keyboard.on_caps_on(None)


def test_colour_helper_is_reached_through_the_class(make, monkeypatch):
    change = vars(tov_touch.AlphaKeypad)["_AlphaKeypad__change_color"]
    assert change.__func__.__qualname__ == "AlphaKeypad.__change_color"
    calls = []

    class Spy(tov_touch.AlphaKeypad):
        @staticmethod
        def _AlphaKeypad__change_color(button, value):
            calls.append(value)
    keyboard = make()
    monkeypatch.setattr(tov_touch, "AlphaKeypad", Spy)
    keyboard.on_shift(None)
    assert calls == [True] * 4


def test_typing_a_word_with_real_clicks(frame):
    """Caps, H, caps off, i, shift, !, OK — real X clicks, as a finger would."""
    keyboard = tov_touch.AlphaKeypad(frame, message="Name:")
    try:
        def touch(name, group=None):
            return lambda: click(key(group(keyboard) if group else keyboard, name))
        result = run_modal(
            keyboard, lambda: flush_events(200),
            lambda: click(keyboard.ui_caps_lock_on), touch("H", lambda k: k.ui_caps_on_1),
            lambda: click(keyboard.ui_caps_lock_off), touch("i", lambda k: k.ui_caps_off_0),
            lambda: click(keyboard.ui_shift_0), touch("!", lambda k: k.Shift),
            lambda: click(keyboard.ui_ok), timeout_ms=20000)
        assert result == wx.ID_OK
        assert keyboard.get_value() == "Hi!"
        assert (keyboard.shift, keyboard.caps) == (True, False)
    finally:
        keyboard.Destroy()
