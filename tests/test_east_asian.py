"""Japanese, Korean and Traditional Chinese on the text keyboard: romaji (or kana keys)
composing kana that anthy converts, Hangul jamo composed into syllables, zhuyin converted by
libchewing, by real touches; what Space, punctuation, ⌫ and OK do to a composition; the
languages' default layouts; and seeded random runs of engine calls and key presses (small here:
`make fuzz-east-asian` runs the big ones).

    FUZZ_SEEDS=8 EAST_ASIAN_ENGINE_CALLS=100000 EAST_ASIAN_KEY_PRESSES=10000   the big runs
"""
import ctypes
import ctypes.util
import os
import random

import pytest
import wx
import wx.grid

import tov_touch
import tov_touchui
from engine_runs import random_engine_calls
from gui import WhenModal, candidate, click, double_click_cell, find_button, flush_events
from tov_touchui import composing, hangul

pytestmark = pytest.mark.timeout(120)
needs_chewing = pytest.mark.skipif(not composing.available("zhuyin"),
                                   reason="libchewing (libchewing3) is missing")
needs_anthy = pytest.mark.skipif(not composing.available("romaji"),
                                 reason="anthy (libanthy1) is missing")


@pytest.fixture
def layout():
    yield tov_touchui.set_layout
    tov_touchui.set_layout(None)
    tov_touchui.set_language(None)


@pytest.fixture
def keyboard(app, frame, layout):
    """A text keyboard on the layout the test passes, shown (not modal)."""
    shown = []

    def open_on(name):
        layout(name)
        shown.append(tov_touch.AlphaKeypad(frame))
        shown[-1].Show()
        flush_events(50)
        return shown[-1]
    yield open_on
    for each in shown:
        each.Destroy()


def touch(keyboard, keys):
    """Fires keys by label: ␣ is Space, ⌫ backspace, ⇪ caps, ⇄ the layout key (it commits
    the composition as typed, as OK does); others their own key."""
    named = {"␣": lambda: keyboard.ui_space, "⌫": lambda: keyboard.ui_backspace,
             "⇄": lambda: keyboard.ui_layout,
             "⇪": lambda: keyboard.ui_caps_lock_on if keyboard.ui_caps_lock_on.
             IsShownOnScreen() else keyboard.ui_caps_lock_off}
    for c in keys:
        tov_touchui.fire_key(named[c]() if c in named else find_button(keyboard, c))
        flush_events(0)


def clicks(keys):
    """Script steps: real clicks on the keys of `keys` (labels; ␣ is Space)."""
    return [lambda k, c=c: click(k.ui_space if c == "␣" else find_button(k, c)) for c in keys]


def through_input_text_and_a_grid_cell(frame, language, actions, expected):
    """Under `language`, on the layout it types with by default."""
    tov_touchui.set_language(language)
    script = WhenModal(tov_touch.AlphaKeypad, *actions, lambda k: click(k.ui_ok),
                       timeout_ms=30000)
    assert tov_touch.input_text(frame) == expected
    script.check()
    grid = wx.grid.Grid(frame)
    grid.CreateGrid(2, 2)
    grid.EnableEditing(False)
    tov_touch.AlphaKeypadProxy(grid)
    script = WhenModal(tov_touch.AlphaKeypad, *actions, lambda k: click(k.ui_ok),
                       timeout_ms=30000)
    double_click_cell(grid, 1, 0)
    script.check()
    assert grid.GetCellValue(1, 0) == expected


# ---- Korean ----------------------------------------------------------------------------------

def test_hangul_by_clicks_through_input_text_and_a_grid_cell(app, frame, layout):
    through_input_text_and_a_grid_cell(frame, "ko_KR", clicks("ㅎㅏㄴㄱㅡㄹ"), "한글")


def test_hangul_composition_agrees_with_libhangul():
    """Random runs on the Hangul layout's keys, composed here and by libhangul's 2-set
    keyboard from the Latin keys in the same places: the same text."""
    name = ctypes.util.find_library("hangul")
    if not name:
        pytest.skip("libhangul is missing")
    lib = ctypes.CDLL(name)
    lib.hangul_ic_new.restype = ctypes.c_void_p
    for function in ("hangul_ic_get_commit_string", "hangul_ic_flush"):
        getattr(lib, function).restype = ctypes.POINTER(ctypes.c_uint32)
    context = ctypes.c_void_p(lib.hangul_ic_new(b"2"))
    hangul_keys, latin = tov_touchui.LAYOUTS["hangul"], tov_touchui.LAYOUTS["us"]["letters"]
    qwerty = dict(zip("".join(hangul_keys["caps_letters"]), "".join(latin).upper()))
    qwerty.update(zip("".join(hangul_keys["letters"]), "".join(latin)))

    def text(pointer):
        out = []
        while pointer[len(out)]:
            out.append(chr(pointer[len(out)]))
        return "".join(out)

    rng = random.Random(21)
    for _ in range(2000):
        keys = "".join(rng.choice(hangul.JAMO) for _ in range(rng.randrange(1, 12)))
        theirs = ""
        for jamo in keys:
            lib.hangul_ic_process(context, ord(qwerty[jamo]))
            theirs += text(lib.hangul_ic_get_commit_string(context))
        theirs += text(lib.hangul_ic_flush(context))
        done, last = hangul.compose(keys)
        assert done + last.text() == theirs, keys
    lib.hangul_ic_delete(context)


# ---- Traditional Chinese ---------------------------------------------------------------------

@needs_chewing
def test_zhuyin_by_clicks_through_input_text_and_a_grid_cell(app, frame, layout):
    through_input_text_and_a_grid_cell(frame, "zh_TW", clicks("ㄓㄨㄥ␣ㄍㄨㄛˊ") + [
        candidate("中國")], "中國")


# ---- Japanese --------------------------------------------------------------------------------

@needs_anthy
@pytest.mark.parametrize("keys, word", [("nihon", "日本"), ("toukyou", "東京")])
def test_japanese_by_clicks_through_input_text_and_a_grid_cell(app, frame, layout, keys, word):
    through_input_text_and_a_grid_cell(frame, "ja_JP", clicks(keys) + [candidate(word)], word)


# ---- composing keys, by layout --------------------------------------------------------------

def zhuyin(*row):
    return pytest.param("zhuyin", *row, marks=needs_chewing)


def japanese(*row):
    return pytest.param("romaji", *row, marks=needs_anthy)


def kana(*row):
    return pytest.param("kana", *row, marks=needs_anthy)


@pytest.mark.parametrize("name, keys, field, composition", [
    ("hangul", "ㅎㅏㄴ", "", "한"),
    ("hangul", "ㅎㅏㄴㄱ", "한", "ㄱ"),  # a syllable done is committed
    ("hangul", "ㅎㅏㄴㅏ", "하", "나"),  # the final opens the next syllable
    ("hangul", "ㄷㅏㄹㄱㅏ", "달", "가"),  # the second of two finals does
    ("hangul", "ㄱㅗㅏㅇ", "", "광"),  # two vowel keys, one vowel
    ("hangul", "⇪ㄸ⇪ㅏㄹ", "", "딸"),  # caps: the doubled consonants
    ("hangul", "ㅎㅏㄴㄱㅡㄹ⌫⌫", "한", "ㄱ"),  # ⌫: one jamo at a time
    ("hangul", "ㅎㅏㄴ⌫⌫⌫⌫", "", ""),  # then the field
    ("hangul", "ㅎㅏㄴㄱ⌫⌫", "", ""),  # a committed syllable goes whole
    ("hangul", "ㅎㅏㄴ␣ㄱㅡㄹ", "한 ", "글"),  # Space: the syllable, then a space
    ("hangul", "ㄱㅡㄹ.", "글.", ""),  # punctuation commits first
    ("hangul", "ㅏㅏ", "ㅏ", "ㅏ"),  # jamo that make no syllable stay jamo
    ("hangul", "ㄱㅡㄹ⇄", "글", ""),  # the layout key (OK too): the syllable
    zhuyin("ㄓㄨㄥ␣ㄍㄨㄛˊ", "", "中國"),  # Space: the first tone
    zhuyin("ㄓㄨㄥ␣ㄍㄨㄛˊ␣", "中國", ""),  # Space after a tone: the first candidate
    zhuyin("ㄉㄨㄥ␣ㄐㄧㄥ␣，", "東京，", ""),  # punctuation commits the conversion first
    zhuyin("ㄋㄧˇㄏㄠˇ⌫⌫", "", "你ㄏ"),  # ⌫ inside the composition
    zhuyin("ㄋㄧˇ␣⌫", "", ""),  # then the field
    zhuyin("ˊ", "", "ˊ"),  # a tone alone is kept as typed
    zhuyin("ㄋㄧˇ␣ㄏㄠˇ␣ㄇㄚ⇄", "你好ㄇㄚ", ""),  # the layout key (OK too): as typed
    japanese("nihon", "", "にほn"),
    japanese("nihon␣", "日本", ""),  # Space: the whole conversion
    japanese("ra-men␣", "ラーメン", ""),  # - is ー inside a composition
    japanese("-", "-", ""),  # and itself outside
    japanese("kaisha。", "会社。", ""),  # punctuation commits the conversion first
    japanese("nihonn⌫⌫", "", "にほ"),  # ⌫ takes back a key
    japanese("toukyou⇄", "とうきょう", ""),  # the layout key (OK too): the kana
    kana("にほん", "", "にほん"),
    kana("とうきよ小う␣", "東京", ""),  # 小: the small ょ
    kana("か゛いこ゛く", "", "がいごく"),  # ゛: が, ご
    kana("゛", "", "゛"),  # a mark with nothing to change stays itself
])
def test_what_each_key_does_to_a_composition(keyboard, name, keys, field, composition):
    shown = keyboard(name)
    touch(shown, keys)
    assert (shown.get_value(), shown.ui_composition.GetLabel()) == (field, composition)


# ---- both ------------------------------------------------------------------------------------

@pytest.mark.parametrize("language, default", [("ko", "hangul"), ("zh_TW", "zhuyin"),
                                               ("ja", "romaji")])
def test_the_language_chooses_its_layout_and_a_password_never_composes(
        app, frame, layout, language, default):
    tov_touchui.set_language(language)
    available = composing.available(tov_touchui.LAYOUTS[default]["engine"])
    assert tov_touchui.get_layout() == (default if available else "us")
    seen = {}
    script = WhenModal(tov_touch.AlphaKeypad, lambda k: seen.update(
        layout=k.layout_name(), switch=k.ui_layout.IsShown(),
        row=k.ui_candidates.IsShown()), *clicks("ab"), lambda k: click(k.ui_ok),
        timeout_ms=20000)
    assert tov_touch.input_password(frame) == "ab"
    script.check()
    assert seen == {"layout": "us", "switch": False, "row": False}


@pytest.mark.parametrize("language, name, package", [
    ("zh_TW", "zhuyin", "libchewing3"), ("ja_JP", "romaji", "libanthy1"),
    (None, "kana", "libanthy1")])
def test_without_its_engine_a_language_types_latin(monkeypatch, layout, language, name, package):
    monkeypatch.setitem(composing._found, tov_touchui.LAYOUTS[name]["engine"], False)
    if language:
        tov_touchui.set_language(language)
        assert tov_touchui.get_layout() == "us"
    with pytest.raises(RuntimeError, match=package):
        tov_touchui.set_layout(name)


SEEDS = int(os.environ.get("FUZZ_SEEDS", "1"))
ENGINE_CALLS = int(os.environ.get("EAST_ASIAN_ENGINE_CALLS", "2000"))
KEY_PRESSES = int(os.environ.get("EAST_ASIAN_KEY_PRESSES", "1000"))
LAYOUTS = ["hangul", pytest.param("zhuyin", marks=needs_chewing),
           pytest.param("romaji", marks=needs_anthy), pytest.param("kana", marks=needs_anthy)]


@pytest.fixture
def own_data_folder(tmp_path, monkeypatch):
    monkeypatch.setenv("XDG_DATA_HOME", str(tmp_path))
    yield


@pytest.mark.timeout(7200)
@pytest.mark.parametrize("engine", LAYOUTS)  # each named as its engine
@pytest.mark.parametrize("seed", range(20261208, 20261208 + SEEDS))
def test_random_engine_calls(engine, seed, own_data_folder):
    """Calls straight to the engine's process, valid and not: this process goes on, and the
    engine answers the same after them."""
    rng = random.Random(seed)
    keys = composing.ENGINES[engine]["keys"]
    process = composing.EngineProcess(engine)
    try:
        # Mostly the engine's keys, now and then a character it refuses.
        ended, refused = random_engine_calls(process, rng, ENGINE_CALLS, lambda rng: "".join(
            rng.choice(keys + "a ") if rng.random() < 0.01 else rng.choice(keys)
            for _ in range(rng.randrange(40))))
        process.request("reset")
        view = process.request("search", {"hangul": "ㅎㅏㄴㄱㅡㄹ", "zhuyin": "ㄓㄨㄥˉㄍㄨㄛˊ",
                                          "romaji": "nihon", "kana": "にほん"}[engine])
        assert view["committed"] or view["candidates"]
    finally:
        process.close()
    print("%s seed %d: %d calls, %d refused, %d engine processes ended"
          % (engine, seed, ENGINE_CALLS, refused, ended))
    assert ended == 0


@pytest.mark.timeout(7200)
@pytest.mark.parametrize("name", LAYOUTS)
@pytest.mark.parametrize("seed", range(20261208, 20261208 + SEEDS))
def test_random_key_presses(name, seed, own_data_folder, keyboard):
    """Every key of the layout in random order: a composing key only ever adds to the field
    (Hangul's finished syllables), and what another character key types lands after
    everything typed before it, the composition committed first."""
    rng = random.Random(seed)
    shown = keyboard(name)
    for _ in range(KEY_PRESSES):
        # Taken afresh: the layout key fills the groups with new keys.
        characters = [k for group in ["no_Shift", "Shift"] + [
            "ui_caps_%s_%d" % (state, row) for state in ("off", "on") for row in range(3)]
            for k in getattr(shown, group).GetChildren() if k.IsShownOnScreen()]
        others = list(shown._candidate_keys) + [
            shown.ui_next, shown.ui_previous, shown.ui_backspace, shown.ui_space,
            shown.ui_clear, shown.ui_tab]
        draw = rng.random()  # the layout key now and then: most presses on the layout
        key = shown.ui_layout if draw < 0.01 else rng.choice(characters if draw < 0.8 else
                                                               others)
        if not (key.IsEnabled() and key.IsShownOnScreen()):
            continue
        before = shown.get_value()
        tov_touchui.fire_key(key)
        after = shown.get_value()
        engine = shown._composer and shown._composer.engine
        if key in characters and key not in (shown.ui_caps_lock_on, shown.ui_caps_lock_off):
            if engine and composing.composing_key(engine, key.GetLabel()) and (
                    shown._composing() or after == before):
                assert after.startswith(before)
            else:
                assert after.startswith(before) and after.endswith(key.GetLabel())
                assert not shown._composing()
        if len(after) > 400:
            tov_touchui.fire_key(shown.ui_clear)
