"""Captions in the application's language, and the text keyboard's layouts: the tables, real
typing of accented text by touch, by a held key and by a physical keyboard, and the choice
through the environment and through the API."""
import os
import shutil
import subprocess
import sys
import textwrap

import unicodedata

import pytest
import wx

import tov_touch
import tov_touchui
from gui import (WhenModal, click, find_button, flush_events, lift, slide_to, touch_and_check,
                 touch_down, type_by_touch)
from tov_touchui.alpha import upper
from tov_touchui.captions import CAPTIONS
from tov_touchui.keys import Alternatives
from xserver import native_environment

pytestmark = pytest.mark.timeout(90)


@pytest.fixture
def layout():
    """Sets a layout for the test; the language's again afterwards."""
    yield tov_touchui.set_layout
    tov_touchui.set_layout(None)
    tov_touchui.set_language(None)


def test_every_language_has_every_caption():
    names = set(CAPTIONS["en"])
    for language, table in CAPTIONS.items():
        assert set(table) == names, language
        assert all(text.strip() for text in table.values()), language
    assert {"en", "zh_CN", "zh_TW", "de", "fr", "es", "it", "pt", "ru", "ja", "ko"} <= set(
        tov_touchui.LANGUAGES)


@pytest.mark.parametrize("name", sorted(tov_touchui.LAYOUTS))
def test_every_layout_table_is_complete_and_consistent(name):
    table = tov_touchui.LAYOUTS[name]
    symbols, shifted, letters = table["symbols"], table["shifted_symbols"], table["letters"]
    assert len(letters) == 3 and all(letters)
    assert [len(row) for row in symbols] == [len(row) for row in shifted]
    for panel in ("".join(symbols), "".join(shifted), "".join(letters)):
        assert len(set(panel)) == len(panel), (name, panel)  # no key twice on one panel
    # Letters have capitals, or the layout's own caps rows (Hangul); the pinyin layout's
    # syllable separator ' is among them.
    caps = table.get("caps_letters")
    assert [len(row) for row in caps] == [len(row) for row in letters] if caps else all(
        len(c.upper()) == 1 and c.upper() != c for c in "".join(letters) if c != "'")
    assert not set("".join(letters)) & set("".join(symbols))
    on_keys = set("".join(symbols + shifted + letters))
    alternatives = table.get("alternatives", {})
    assert set(alternatives) <= on_keys
    assert table["tag"] and table.get("alternate", "us") in tov_touchui.LAYOUTS
    # Caps never turns a character into a look-alike from another script (µ into Greek Μ).
    for char in "".join(letters) + "".join(alternatives.values()):
        capital = upper(char)
        assert capital == char or script(capital) == script(char), (name, char, capital)


def script(char):
    return unicodedata.name(char).split()[0]


ASCII = "".join(map(chr, range(0x20, 0x7f)))
# Besides printable ASCII, what each layout's language types with AltGr: quotation marks,
# dashes, ellipsis, currency, degree, section and micro signs (MICRO SIGN, not Greek mu).
TYPED = {
    "us": "–—…“”‘’€£°§µ", "uk": "–—…“”‘’€£¬°§µ", "de": "„“”‚‘’«»–—…€°§µ²³",
    "fr": "«»“”‘’–—…€£°§µ", "es": "«»“”‘’–—…€°§µªº¡¿", "it": "«»“”‘’–—…€£°§µ",
    "pt": "«»“”‘’–—…€£°§µªº", "nordic": "”’»«–—…€£¤°§µ", "ru": "«»„“–—…€₽№°§µ",
    "el": "«»·–—…€°§µ’", "pinyin": "“”‘’—…·¥°§µ€",
    # Japanese, Korean and zhuyin: their own punctuation, and the rest behind the layout key.
    "hangul": "–—…“”‘’€£°§µ₩", "zhuyin": "，。、「」『』–—…“”‘’€°§µ",
    "romaji": "、。「」・～–—…“”‘’€°§µ", "kana": "、。「」・–—…“”‘’€°§µ",
}


def test_every_layout_is_listed_with_what_it_types():
    assert sorted(TYPED) == sorted(tov_touchui.LAYOUTS)


@pytest.mark.parametrize("name", sorted(TYPED))
def test_every_character_of_a_layout_by_touch(app, frame, layout, name):
    layout(name)
    keyboard = tov_touch.AlphaKeypad(frame)
    try:
        keyboard.Show()
        flush_events(100)
        wanted = ASCII + TYPED[name]
        type_by_touch(keyboard, wanted)
        assert keyboard.get_value() == wanted
    finally:
        keyboard.Destroy()


@pytest.mark.parametrize("value, error", [(0, ValueError), (-15, ValueError),
                                          (float("nan"), ValueError), ("15", TypeError),
                                          (True, TypeError)])
def test_a_smallest_key_of_no_size_is_refused(value, error):
    with pytest.raises(error):
        tov_touchui.set_smallest_key(value)
    assert tov_touchui.get_smallest_key() is None


CHOICE = """
    import tov_touchui
    print(tov_touchui.get_language(), tov_touchui.get_layout(), tov_touchui.caption("clear"))
    tov_touchui.set_language("fr")
    print(tov_touchui.get_language(), tov_touchui.get_layout(), tov_touchui.caption("clear"))
    tov_touchui.set_layout("ru")
    print(tov_touchui.get_language(), tov_touchui.get_layout(), tov_touchui.caption("clear"))
"""


@pytest.mark.parametrize("environment, first", [
    ({"LANG": "de_DE.UTF-8"}, "de de Löschen"),
    ({"LANG": "C.UTF-8"}, "en us Clear"),
    ({"LANG": "en_GB.UTF-8"}, "en uk Clear"),
    ({"LANGUAGE": "zh_TW:zh", "LANG": "de_DE.UTF-8"}, "zh_TW zhuyin 清除"),
    ({"LC_ALL": "sv_SE.UTF-8", "LANG": "de_DE.UTF-8"}, "en nordic Clear"),
    ({"LC_MESSAGES": "ru_RU.UTF-8"}, "ru ru Очистить"),
])
def test_captions_follow_the_environment_and_the_api_overrides_it(environment, first):
    env = {k: v for k, v in os.environ.items()
           if k not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG")}
    env.update(environment, PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    result = subprocess.run([sys.executable, "-c", textwrap.dedent(CHOICE)], env=env,
                            stdout=subprocess.PIPE, universal_newlines=True, timeout=60)
    assert result.stdout.splitlines() == [first, "fr fr Effacer", "fr ru Effacer"]


def test_the_application_locale_wins_over_the_environment(app, monkeypatch):
    monkeypatch.setenv("LANG", "de_DE.UTF-8")
    monkeypatch.setattr(wx, "GetLocale", lambda: type("Locale", (), {
        "IsOk": lambda self: True, "GetCanonicalName": lambda self: "es_ES"})())
    assert tov_touchui.get_language() == "es" and tov_touchui.caption("cancel") == "Cancelar"


def test_faces_change_but_the_labels_the_keypad_types_by_do_not(app, frame, layout):
    tov_touchui.set_language("de")
    keyboard = tov_touch.AlphaKeypad(frame)
    try:
        assert keyboard.ui_space.GetLabel() == "Space" and keyboard.ui_tab.GetLabel() == "Tab"
        assert keyboard.ui_space.face_text() == "Leertaste"
        assert keyboard.ui_clear.GetLabel() == "Löschen"
        assert keyboard.GetTitle() == "Tastatur"
        assert keyboard.layout_name() == "de"
    finally:
        keyboard.Destroy()


HOLD_MS = 700  # longer than a key takes to offer its alternatives


def offered(label):
    offer = Alternatives._open
    assert offer is not None, "no alternatives on offer"
    return next(k for k in offer.choices() if k.GetLabel() == label)


def hold_and_slide(key, target_label):
    """A real press on `key`, held until its alternatives show, slid onto `target_label`,
    released there."""
    sim = touch_down(key)
    flush_events(HOLD_MS)
    slide_to(sim, offered(target_label))
    lift(sim)


def touches(*labels):
    return [lambda k, label=label: click(find_button(k, label)) for label in labels]


def test_german_by_touch_through_input_text(app, frame, layout):
    layout("de")
    script = WhenModal(tov_touch.AlphaKeypad,
                       lambda k: click(k.ui_caps_lock_on), *touches("G"),
                       lambda k: click(k.ui_caps_lock_off), *touches("r", "ö", "ß", "e"),
                       lambda k: click(k.ui_ok), timeout_ms=15000)
    assert tov_touch.input_text(frame) == "Größe"
    script.check()


def test_french_by_a_held_key_through_a_proxy(app, frame, layout):
    layout("fr")
    ctrl = wx.TextCtrl(frame, pos=(10, 10), size=(200, 40))
    tov_touch.AlphaKeypadProxy(ctrl)
    script = WhenModal(tov_touch.AlphaKeypad,
                       lambda k: click(k.ui_caps_lock_on),
                       lambda k: hold_and_slide(find_button(k, "E"), "É"),
                       lambda k: click(k.ui_caps_lock_off), *touches("t", "é"),
                       lambda k: click(k.ui_ok), timeout_ms=15000)
    touch_and_check(ctrl, script)
    flush_events(300)
    assert ctrl.GetValue() == "Été"


@pytest.mark.parametrize("held, choice", [("n", "ñ"), ("4", "€")])  # 4: just under the value
def test_a_held_key_offers_its_alternatives_for_a_tap_too(app, frame, layout, held, choice):
    layout("us")
    keyboard = tov_touch.AlphaKeypad(frame)
    try:
        keyboard.Show()
        flush_events(150)
        sim = touch_down(find_button(keyboard, held))
        flush_events(HOLD_MS)
        lift(sim)  # on the key itself: the offer stays for a tap
        assert keyboard.get_value() == ""
        offer = offered(choice).GetParent().GetRect()  # never over the value
        assert not offer.Intersects(keyboard.ui_value_normal.GetRect())
        assert keyboard.GetClientRect().Contains(offer)
        click(offered(choice))
        flush_events(100)
        assert keyboard.get_value() == choice and Alternatives._open is None
    finally:
        keyboard.Destroy()


def test_switching_russian_to_latin_and_back_mid_text(app, frame, layout):
    layout("ru")
    script = WhenModal(tov_touch.AlphaKeypad, *touches("д", "а"),
                       lambda k: click(k.ui_layout), *touches("o", "k"),
                       lambda k: click(k.ui_layout), *touches("ы"),
                       lambda k: click(k.ui_ok), timeout_ms=15000)
    assert tov_touch.input_text(frame) == "даokы"
    script.check()


@pytest.mark.skipif(not (shutil.which("xdotool") and shutil.which("xmodmap")),
                    reason="xdotool and xmodmap are not installed")
def test_a_physical_key_no_layout_key_shows_still_arrives(app, frame, layout):
    layout("us")
    # A keyboard with é and ü on a key of its own (GTK does not notice the key map that
    # xdotool changes for a moment to type a character the keyboard lacks).
    subprocess.run(["xmodmap", "-e", "keycode 250 = eacute udiaeresis"], timeout=30,
                   check=True, env=native_environment())
    flush_events(200)

    def type_on_keyboard(keyboard):
        x, y, _, _ = keyboard.GetScreenRect()
        wx.UIActionSimulator().MouseMove(x + 4, y + 4)  # X focus follows the pointer
        flush_events(50)
        subprocess.run(["xdotool", "type", "--delay", "100", "aé ü"], timeout=30, check=True,
                       env=native_environment())
        flush_events(300)

    script = WhenModal(tov_touch.AlphaKeypad, type_on_keyboard,
                       lambda k: click(k.ui_ok), timeout_ms=15000)
    assert tov_touch.input_text(frame) == "aé ü"
    script.check()
