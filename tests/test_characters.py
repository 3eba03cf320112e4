"""⌫ takes one character as the operator sees it (an extended grapheme cluster), in every
keypad: the text keyboard's handler and key, the numeric keypad, the PIN pad."""
import pytest

import tov_touch
from gui import press
from tov_touchui import characters

pytestmark = pytest.mark.timeout(60)

FAMILY = "\U0001F468\u200d\U0001F469\u200d\U0001F467\u200d\U0001F466"
AFTER_ONE_BACKSPACE = [
    ("x\U0001F1E9\U0001F1EA", "x"),                                    # x🇩🇪: the whole flag
    ("a\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7", "a\U0001F1E9\U0001F1EA"),  # 🇩🇪🇫🇷: one flag
    ("x" + FAMILY, "x"),                                               # no dangling joiner
    ("1\ufe0f\u20e3", ""),                                             # 1️⃣
    ("\U0001F44D\U0001F3FD", ""),                                      # 👍🏽
    ("ne\u0301", "n"),                                                 # e + combining acute
    ("\u1100\u1161\u11a8", ""),                                        # a Hangul syllable in jamo
    ("12", "1"),
    ("", ""),
]


def text_handler(parent):
    keyboard = tov_touch.AlphaKeypad(parent)
    return keyboard, keyboard.set_value, lambda: keyboard.on_backspace(None), keyboard.get_value


def text_key(parent):
    keyboard = tov_touch.AlphaKeypad(parent, password_mode=True)
    return (keyboard, keyboard.set_value, lambda: press(keyboard.ui_backspace),
            keyboard.get_value)


def numeric_key(parent):
    pad = tov_touch.DigitKeypad(parent, tov_touch.KEYPAD_MODE_FLOAT)
    return pad, pad.set_value, lambda: press(pad.ui_backspace), pad.get_value


def pin_key(parent):
    pad = tov_touch.DigitPasswordKeypad(parent)
    return pad, pad.ui_text.SetValue, lambda: press(pad.ui_backspace), pad.get_value


@pytest.mark.parametrize("keypad", [text_handler, text_key, numeric_key, pin_key],
                         ids=["AlphaKeypad.on_backspace", "text-key", "numeric-key", "pin-key"])
def test_backspace_takes_a_whole_character(frame, keypad):
    dialog, set_value, backspace, get_value = keypad(frame)
    try:
        for text, left in AFTER_ONE_BACKSPACE:
            set_value(text)
            backspace()
            assert get_value() == left, text
    finally:
        dialog.Destroy()


def test_without_the_regex_module_backspace_takes_a_code_point(monkeypatch):
    monkeypatch.setattr(characters, "_LAST_CHARACTER", None)
    assert characters.without_last_character("x\U0001F44D\U0001F3FD") == "x\U0001F44D"
    assert characters.without_last_character("") == ""
