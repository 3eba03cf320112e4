"""input_text, input_password and input_digit_password, end to end on the real dialogs."""
import pytest
import wx

import tov_touch
import tov_touchui
from gui import WhenModal, digit_key, gone, press

pytestmark = pytest.mark.timeout(60)


def typed(*keys):
    """Presses the keyboard's keys found by attribute path or caption, then OK."""
    def run(keyboard):
        for name in keys:
            press(getattr(keyboard, name))
        press(keyboard.ui_ok)
    return run


def cancel(dialog):
    dialog.EndModal(wx.ID_CANCEL)


def test_text_is_returned_exactly_as_typed(frame):
    seen = {}

    def type_blanks_and_tabs(keyboard):
        seen.update(masked=keyboard.ui_value_password.IsShown(), prompt=keyboard.ui_message.IsShown())
        keyboard.set_value("lot")
    script = WhenModal(tov_touch.AlphaKeypad, type_blanks_and_tabs, typed("ui_space", "ui_tab"))
    assert tov_touch.input_text(frame) == "lot \t"
    script.check()
    assert seen == {"masked": False, "prompt": False}


def test_empty_confirm_is_the_empty_string_and_cancel_none(frame):
    script = WhenModal(tov_touch.AlphaKeypad, typed())
    assert tov_touch.input_text(frame, message="Batch:") == ""
    script.check()
    opened = []
    script = WhenModal(tov_touch.AlphaKeypad, opened.append, cancel)
    assert tov_touch.input_text(frame) is None
    script.check()
    assert gone(opened[0])


def test_password_is_masked_without_a_prompt(frame):
    seen = {}

    def look(keyboard):
        seen.update(masked=keyboard._AlphaKeypad__text_field is keyboard.ui_value_password,
                    prompt=keyboard.ui_message.IsShown())
        keyboard.set_value("s3cret")
    script = WhenModal(tov_touch.AlphaKeypad, look, typed())
    assert tov_touch.input_password(frame) == "s3cret"
    script.check()
    assert seen == {"masked": True, "prompt": False}


def test_input_password_calls_the_current_input_text(frame, monkeypatch):
    calls = []
    monkeypatch.setattr(tov_touch, "input_text", lambda *args: calls.append(args) or "r")
    assert tov_touch.input_password(frame, "PW:") == "r"
    assert tov_touch.input_password(frame) == "r"
    assert calls == [(frame, True, "PW:"), (frame, True, "")]
    with pytest.raises(TypeError, match="Argument 'message' has incorrect type"):
        tov_touch.input_password(frame, b"PW:")
    assert len(calls) == 2


@pytest.mark.parametrize("function", [tov_touch.input_text, tov_touch.input_password])
def test_message_restriction(frame, function):
    before = len(wx.GetTopLevelWindows())
    with pytest.raises(TypeError) as caught:
        function(frame, message=type("Text", (str,), {})("x"))
    assert str(caught.value) == "Argument 'message' has incorrect type (expected str, got Text)"
    assert len(wx.GetTopLevelWindows()) == before


def test_digit_password_keeps_leading_zeros(frame):
    def enter_pin(keypad):
        for caption in "0470":
            press(digit_key(keypad, caption))
        press(digit_key(keypad, tov_touchui.caption("confirm")))
    script = WhenModal(tov_touch.DigitPasswordKeypad, enter_pin)
    assert tov_touch.input_digit_password(frame, "PIN:") == "0470"
    script.check()


def test_digit_password_cancel_and_message_pass_through(frame, monkeypatch):
    opened = []
    script = WhenModal(tov_touch.DigitPasswordKeypad, opened.append, cancel)
    assert tov_touch.input_digit_password(frame) is None
    script.check()
    assert gone(opened[0])

    made = []
    base = tov_touch.DigitPasswordKeypad

    class Recording(base):
        def __init__(self, parent, message):
            made.append(message)
            base.__init__(self, parent)
    monkeypatch.setattr(tov_touch, "DigitPasswordKeypad", Recording)
    script = WhenModal(Recording, lambda keypad: keypad.on_confirm(None))
    assert tov_touch.input_digit_password(frame, 5) == ""
    script.check()
    assert made == [5]


Keyboard = tov_touch.AlphaKeypad


class BrokenShow(Keyboard):
    created = []

    def __init__(self, *args, **kwargs):
        Keyboard.__init__(self, *args, **kwargs)
        self.created.append(self)

    def ShowModal(self):
        raise OSError("no display")


def test_an_exception_destroys_the_dialog_and_propagates(frame, monkeypatch):
    monkeypatch.setattr(tov_touch, "AlphaKeypad", BrokenShow)
    with pytest.raises(OSError, match="no display") as caught:
        tov_touch.input_password(frame)
    names = [e.name for e in caught.traceback]
    assert names[-3:] == ["tov_touch.input_password", "tov_touch.input_text", "ShowModal"]
    assert gone(BrokenShow.created[-1])
