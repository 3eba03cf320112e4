"""input_integer and input_float, end to end on the real keypad."""
import math

import pytest
import wx

import tov_touch
import tov_touchui
from gui import WhenModal, find_button, gone, press

pytestmark = pytest.mark.timeout(60)
Keypad = tov_touch.DigitKeypad


def typing(text):
    def type_then_confirm(pad):
        pad.SetValue(text)
        press(find_button(pad, tov_touchui.caption("confirm")))
    return type_then_confirm


@pytest.mark.parametrize("function, bounds, text, expected", [
    (tov_touch.input_integer, {}, "-0", 0),
    (tov_touch.input_integer, {"minimum": 0.5, "maximum": 99.5}, "12", 12),
    (tov_touch.input_integer, {}, "-123456789012345678901234567890",
     -123456789012345678901234567890),
    (tov_touch.input_float, {}, "12", 12.0),
    (tov_touch.input_float, {}, "5.", 5.0),
    (tov_touch.input_float, {"minimum": -1, "maximum": 1}, "-.5", -0.5),
])
def test_confirmed_number(frame, function, bounds, text, expected):
    script = WhenModal(Keypad, typing(text))
    value = function(frame, **bounds)
    script.check()
    assert value == expected and type(value) is type(expected)


def test_float_keeps_negative_zero(frame):
    script = WhenModal(Keypad, typing("-0"))
    value = tov_touch.input_float(frame)
    script.check()
    assert value == 0.0 and math.copysign(1.0, value) == -1.0


@pytest.mark.parametrize("function", [tov_touch.input_integer, tov_touch.input_float])
def test_cancel_gives_none_and_destroys_the_dialog(frame, function):
    opened = []
    script = WhenModal(Keypad, opened.append, lambda pad: pad.EndModal(wx.ID_CANCEL))
    assert function(frame, message="Speed:") is None
    script.check()
    assert gone(opened[0])


@pytest.mark.parametrize("function, prompt", [
    (tov_touch.input_integer, "请输入一个整数："), (tov_touch.input_float, "请输入一个浮点数：")])
def test_prompt_and_mode(frame, function, prompt):
    seen = {}
    script = WhenModal(Keypad, lambda pad: seen.update(prompt=pad.ui_message.GetLabel(),
                                                      dot=pad.DotPoint.IsEnabled()),
                       lambda pad: pad.EndModal(wx.ID_CANCEL))
    function(frame)
    script.check()
    assert seen == {"prompt": prompt, "dot": function is tov_touch.input_float}


@pytest.mark.parametrize("message", [b"Speed:", type("Text", (str,), {})("Speed:"), 3])
@pytest.mark.parametrize("function", [tov_touch.input_integer, tov_touch.input_float])
def test_message_restriction_before_any_dialog(frame, function, message):
    before = len(wx.GetTopLevelWindows())
    with pytest.raises(TypeError) as caught:
        function(frame, message=message)
    assert str(caught.value) == ("Argument 'message' has incorrect type (expected str, got %s)"
                                 % type(message).__name__)
    assert len(wx.GetTopLevelWindows()) == before


def test_the_keypad_class_is_looked_up_at_call_time(frame, monkeypatch):
    made = []

    class Recording(Keypad):
        def __init__(self, parent, **kwargs):
            made.append(kwargs)
            Keypad.__init__(self, parent, **kwargs)
    monkeypatch.setattr(tov_touch, "DigitKeypad", Recording)
    script = WhenModal(Recording, typing("7"))
    assert tov_touch.input_integer(frame, 1, 9, "n:") == 7
    script.check()
    assert made == [{"mode": 0, "minimum": 1, "maximum": 9, "message": "n:"}]


class Broken(Keypad):
    def get_value(self):
        return "not a number"


def test_an_exception_destroys_the_dialog_and_propagates_unchanged(frame, monkeypatch):
    monkeypatch.setattr(tov_touch, "DigitKeypad", Broken)
    opened = []
    script = WhenModal(Broken, opened.append, lambda pad: pad.EndModal(wx.ID_OK))
    with pytest.raises(ValueError) as caught:
        tov_touch.input_integer(frame)
    script.check()
    assert [e.name for e in caught.traceback][-1] == "tov_touch.input_integer"
    assert gone(opened[0])


def test_signature_and_annotations():
    import inspect
    import typing
    signature = inspect.signature(tov_touch.input_float)
    assert list(signature.parameters) == ["parent", "minimum", "maximum", "message"]
    assert tov_touch.input_float.__defaults__ == (-math.inf, math.inf, None)
    assert tov_touch.input_integer.__annotations__ == {
        "parent": wx.WindowBase, "message": "unicode", "return": typing.Optional[int]}
    assert signature.return_annotation == typing.Optional[float]
    with pytest.raises(TypeError) as caught:
        tov_touch.input_integer()
    assert str(caught.value) == "input_integer() takes at least 1 positional argument (0 given)"
    with pytest.raises(TypeError) as caught:
        tov_touch.input_integer(1, 2, 3, 4, 5)
    assert str(caught.value) == "input_integer() takes at most 4 positional arguments (5 given)"
