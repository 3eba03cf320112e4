"""The settings of the forms (theme, language, layout): what the setters take and refuse, how
locale names are matched, and how keypads read them: inside their destroy-on-failure block, and
once, so that an open keypad keeps what it opened with."""
import pytest
import wx

import tov_touch
import tov_touchui
from gui import flush_events, press
from tov_touchui import composing, keypad, theme

pytestmark = pytest.mark.timeout(60)

SETTINGS = {  # getter, setter, a valid name, whether None is taken
    "theme": (tov_touchui.get_theme, tov_touchui.set_theme, "light", False),
    "language": (tov_touchui.get_language, tov_touchui.set_language, "fr", True),
    "layout": (tov_touchui.get_layout, tov_touchui.set_layout, "de", True),
}


@pytest.fixture(autouse=True)
def defaults(monkeypatch):
    for variable in ("LANGUAGE", "LC_ALL", "LC_MESSAGES"):
        monkeypatch.delenv(variable, raising=False)
    monkeypatch.setenv("LANG", "C.UTF-8")
    yield
    tov_touchui.set_theme("system")
    tov_touchui.set_language(None)
    tov_touchui.set_layout(None)


class LikeDark(object):
    """Compares and hashes as the name "dark" without being a str."""

    def __eq__(self, other):
        return other == "dark"

    def __hash__(self):
        return hash("dark")


class Name(str):
    """A str subclass with its own idea of equality."""

    def __eq__(self, other):
        return True

    __hash__ = str.__hash__


@pytest.mark.parametrize("value", [1, 3.5, True, ["de"], object(), b"de", LikeDark(), None],
                         ids=["int", "float", "bool", "list", "object", "bytes", "hash-alike",
                              "None"])
@pytest.mark.parametrize("setting", sorted(SETTINGS))
def test_a_setter_refuses_what_is_no_name_and_changes_nothing(setting, value):
    get, set_, valid, takes_none = SETTINGS[setting]
    if value is None and takes_none:
        return  # None is one of its kinds: following the application or the language
    set_(valid)
    argument = "name" if setting != "language" else "code"
    with pytest.raises(TypeError) as refused:
        set_(value)
    message = str(refused.value)
    assert "'%s'" % argument in message and "must be str" in message
    assert ("or None" in message) == takes_none
    assert type(value).__name__ in message
    assert get() == valid


@pytest.mark.parametrize("setting, unknown, listed", [
    ("theme", "blue", tov_touchui.THEMES),
    ("theme", "Dark", tov_touchui.THEMES),
    ("language", "xx", tov_touchui.LANGUAGES),
    ("language", "C", tov_touchui.LANGUAGES),
    ("language", "de_DE_extra", tov_touchui.LANGUAGES),
    ("layout", "dvorak", tov_touchui.LAYOUTS),
])
def test_an_unknown_name_is_refused_with_the_valid_ones_and_changes_nothing(setting, unknown,
                                                                            listed):
    get, set_, valid, _ = SETTINGS[setting]
    set_(valid)
    with pytest.raises(ValueError) as refused:
        set_(unknown)
    assert all(name in str(refused.value) for name in listed)
    assert get() == valid


@pytest.mark.parametrize("setting, given, kept", [
    ("theme", Name("dark"), "dark"),
    ("language", Name("de_DE"), "de"),
    ("layout", Name("fr"), "fr"),
])
def test_a_getter_gives_the_canonical_str_and_keypads_open(frame, setting, given, kept):
    get, set_, _, _ = SETTINGS[setting]
    set_(given)
    assert type(get()) is str and get() == kept
    for make in (tov_touch.AlphaKeypad, tov_touch.DigitPasswordKeypad,
                 lambda parent: tov_touch.DigitKeypad(parent, tov_touch.KEYPAD_MODE_INT)):
        make(frame).Destroy()


def pinyin_or_us():
    return "pinyin" if composing.available("pinyin") else "us"


@pytest.mark.parametrize("code, language, layout", [
    ("zh_Hant_TW", "zh_TW", "us"), ("zh-Hant-HK", "zh_TW", "us"), ("zh_Hant", "zh_TW", "us"),
    ("ZH_TW", "zh_TW", "us"), ("Zh-Tw", "zh_TW", "us"), ("zh_hk", "zh_TW", "us"),
    ("zh_MO.UTF-8", "zh_TW", "us"), ("zh_Hans_TW", "zh_CN", None), ("zh-SG", "zh_CN", None),
    ("zh", "zh_CN", None), ("DE", "de", "de"), ("de-ch", "de", "de"), ("en_GB", "en", "uk"),
    ("EN-gb.UTF-8", "en", "uk"), ("en_US", "en", "us"), ("pt-BR", "pt", "pt"),
    ("sr_RS@latin", None, None), ("ru_RU.KOI8-R", "ru", "ru"),
])
def test_locale_names_are_matched_as_locales(monkeypatch, code, language, layout):
    """The same language and layout whether the name came from set_language or from LANG."""
    layout = layout or pinyin_or_us()
    if language is None:
        with pytest.raises(ValueError):
            tov_touchui.set_language(code)
        return
    tov_touchui.set_language(code)
    from_the_setter = (tov_touchui.get_language(), tov_touchui.get_layout())
    tov_touchui.set_language(None)
    monkeypatch.setenv("LANG", code)
    from_the_environment = (tov_touchui.get_language(), tov_touchui.get_layout())
    assert from_the_setter == from_the_environment == (language, layout)


class Interrupted(BaseException):
    pass


def interrupt(*args):
    raise Interrupted()


KEYPADS = {
    "text": tov_touch.AlphaKeypad,
    "numeric": lambda parent: tov_touch.DigitKeypad(parent, tov_touch.KEYPAD_MODE_INT),
    "pin": tov_touch.DigitPasswordKeypad,
}


@pytest.mark.parametrize("reading", ["palette", "language"])
@pytest.mark.parametrize("kind", sorted(KEYPADS))
def test_an_interrupt_while_the_settings_are_read_leaves_no_window(frame, monkeypatch, kind,
                                                                    reading):
    before = set(wx.GetTopLevelWindows())
    if reading == "palette":
        monkeypatch.setattr(theme, "palette", interrupt)
    else:
        monkeypatch.setattr(keypad, "get_language", interrupt)
    with pytest.raises(Interrupted):
        KEYPADS[kind](frame)
    flush_events(50)
    assert set(wx.GetTopLevelWindows()) == before


def test_an_open_keypad_keeps_the_settings_it_opened_with(frame):
    tov_touchui.set_theme("light")
    tov_touchui.set_language("en")
    tov_touchui.set_layout("ru")
    keyboard = tov_touch.AlphaKeypad(frame)
    faces = keyboard.ui_ok.GetBackgroundColour()
    try:
        tov_touchui.set_theme("dark")
        tov_touchui.set_language("de")
        tov_touchui.set_layout("us")
        for layout in ("us", "ru"):  # the layout switch key refills the letter rows
            press(keyboard.ui_layout)
            assert keyboard.layout_name() == layout
            assert keyboard.ui_caps_lock_on.GetLabel() == "Caps"
            assert keyboard.ui_caps_lock_off.GetLabel() == "Caps"
        assert keyboard.palette.name == "light"
        assert keyboard.ui_ok.GetBackgroundColour() == faces
    finally:
        keyboard.Destroy()
    following = tov_touch.AlphaKeypad(frame)
    try:
        assert following.layout_name() == "us"
        assert following.ui_caps_lock_on.GetLabel() == "Feststell"
        assert following.palette.name == "dark"
    finally:
        following.Destroy()
