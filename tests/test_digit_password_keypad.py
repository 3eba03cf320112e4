"""The digit password keypad on the real form."""
import pytest
import wx

import tov_touch
import tov_touchui
from gui import DIGIT_KEY_NAMES, digit_key, flush_events, press, run_modal

pytestmark = pytest.mark.timeout(60)


@pytest.fixture
def make(frame):
    """Makes the dialog over the test's frame; the frame fixture destroys it afterwards."""
    return lambda *args, **kwargs: tov_touch.DigitPasswordKeypad(frame, *args, **kwargs)


def form_prompt(frame):
    form = tov_touchui.DigitPasswordKeypad(frame)
    try:
        return form.ui_message.GetLabel(), form.ui_text.GetValue()
    finally:
        form.Destroy()


@pytest.mark.parametrize("captions, text", [("123", "123"), ("07", "07"), ("0000", "0000")])
def test_keys_append_their_captions(make, captions, text):
    keypad = make()
    for caption in captions:
        press(digit_key(keypad, caption))
    assert keypad.get_value() == text


@pytest.mark.parametrize("font_size, show_size, field", [(20, None, 32), (30, None, 42), (20, 25, 25)])
def test_fonts(make, font_size, show_size, field):
    keypad = make(font_size=font_size, show_size=show_size)
    assert keypad.ui_text.GetFont().GetPointSize() == field
    assert {getattr(keypad, n).GetFont().GetPointSize() for n in DIGIT_KEY_NAMES} == {font_size}


@pytest.mark.parametrize("message", [None, ""])
def test_false_message_keeps_the_form_prompt(make, frame, message):
    assert make(message).ui_message.GetLabel() == form_prompt(frame)[0]


def test_message_is_the_prompt_and_any_true_object_goes_to_set_label(make, frame):
    assert make("PIN:").ui_message.GetLabel() == "PIN:"
    before = set(wx.GetTopLevelWindows())
    with pytest.raises(TypeError) as caught:
        tov_touch.DigitPasswordKeypad(frame, 5)  # wx's own refusal of a non-text label
    assert "Argument 'message'" not in str(caught.value)
    flush_events(20)
    assert set(wx.GetTopLevelWindows()) == before, "the half-made dialog must be destroyed"


def test_clear_then_confirm_gives_the_empty_text(make):
    keypad = make()
    result = run_modal(keypad, lambda: press(digit_key(keypad, "4")),
                       lambda: press(digit_key(keypad, tov_touchui.caption("clear"))),
                       lambda: press(digit_key(keypad, tov_touchui.caption("confirm"))))
    assert result == wx.ID_OK
    assert keypad.get_value() == ""


def test_confirm_without_a_key_gives_the_form_text(make, frame):
    keypad = make()
    assert run_modal(keypad, lambda: keypad.on_confirm(None)) == wx.ID_OK
    assert keypad.get_value() == form_prompt(frame)[1]


class Field(object):
    def __init__(self, value):
        self.value = value

    def GetValue(self):
        return self.value


@pytest.mark.parametrize("value, error", [
    (5, "Expected unicode, got int"), (b"12", "Expected unicode, got bytes"),
    (type("Text", (str,), {})("1"), "Expected unicode, got Text"), (None, None), ("12", None)])
def test_get_value_tests_its_result_type(make, value, error):
    keypad = make()
    keypad.ui_text = Field(value)
    if error:
        with pytest.raises(TypeError) as caught:
            keypad.get_value()
        assert str(caught.value) == error
    else:
        assert keypad.get_value() == value
