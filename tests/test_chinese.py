"""Chinese on the text keyboard: pinyin composed through the engine, candidates typed through
the keypad class, by real touches; everything lands in the order typed, nothing typed is lost,
passwords never compose; the engine's process and its user dictionary; and seeded random runs
of engine calls and key presses (small here: `make fuzz-pinyin` runs the big ones).

    FUZZ_SEEDS=8 PINYIN_ENGINE_CALLS=100000 PINYIN_KEY_PRESSES=10000   the big runs
"""
import os
import random
import re
import warnings

import pytest
import wx
import wx.grid

import tov_touch
import tov_touchui
from gui import WhenModal, click, double_click_cell, find_button, flush_events, type_keys
from tov_touchui import composing

pytest.importorskip("tov_pinyin", reason="the pinyin engine (libgooglepinyin0-dev) is missing")
pytestmark = pytest.mark.timeout(120)


@pytest.fixture(autouse=True)
def pinyin_layout():
    tov_touchui.set_layout("pinyin")
    yield
    tov_touchui.set_layout(None)


@pytest.fixture
def keyboard(app, frame):
    """A text keyboard on the pinyin layout, shown (not modal)."""
    shown = tov_touch.AlphaKeypad(frame)
    shown.Show()
    flush_events(50)
    yield shown
    shown.Destroy()


def letters(text):
    """Touches for the letters of `text`; a space touches the first candidate."""
    return [lambda k, c=c: click(k.ui_space if c == " " else find_button(k, c)) for c in text]


def candidate(text):
    def touch(keyboard):
        for _ in range(20):  # page on until the candidate is in view
            keys = [k for k in keyboard._candidate_keys if k.GetLabel() == text]
            if keys:
                return click(keys[0])
            click(keyboard.ui_next)
        raise LookupError("no candidate %r" % text)
    return touch


def test_ni_hao_through_input_text(app, frame):
    script = WhenModal(tov_touch.AlphaKeypad, *letters("nihao"),
                       lambda k: seen.update(row=[c.GetLabel() for c in k._candidate_keys],
                                             field=k.get_value(),
                                             shown=k.ui_composition.GetLabel()),
                       candidate("你好"), lambda k: click(k.ui_ok), timeout_ms=20000)
    seen = {}
    assert tov_touch.input_text(frame) == "你好"
    script.check()
    assert seen["field"] == "" and seen["shown"] == "ni hao" and "你好" in seen["row"]


def test_zhong_guo_into_a_grid_cell_through_a_proxy(app, frame):
    grid = wx.grid.Grid(frame)
    grid.CreateGrid(3, 2)
    grid.EnableEditing(False)
    tov_touch.AlphaKeypadProxy(grid)
    script = WhenModal(tov_touch.AlphaKeypad, *letters("zhongguo"), candidate("中国"),
                       lambda k: click(k.ui_ok), timeout_ms=20000)
    double_click_cell(grid, 1, 1)
    script.check()
    assert grid.GetCellValue(1, 1) == "中国"


def test_backspace_edits_the_composition_first_then_the_field(app, frame):
    script = WhenModal(tov_touch.AlphaKeypad, *letters("ni "), *letters("hap"),
                       lambda k: click(k.ui_backspace), *letters("o"), candidate("好"),
                       lambda k: click(k.ui_backspace), lambda k: click(k.ui_backspace),
                       *letters("ta "), lambda k: click(k.ui_ok), timeout_ms=20000)
    result = tov_touch.input_text(frame)
    script.check()
    assert result == "他"  # 你 and 好 rubbed out, "hap" mended to "hao" before choosing


def test_pages_of_candidates_and_a_partial_choice(keyboard):
    for c in "shi":
        tov_touchui.fire_key(find_button(keyboard, c))
    first = [k.GetLabel() for k in keyboard._candidate_keys]
    assert not keyboard.ui_previous.IsEnabled() and keyboard.ui_next.IsEnabled()
    tov_touchui.fire_key(keyboard.ui_next)
    second = [k.GetLabel() for k in keyboard._candidate_keys]
    assert second != first and keyboard.ui_previous.IsEnabled()
    tov_touchui.fire_key(keyboard.ui_previous)
    assert [k.GetLabel() for k in keyboard._candidate_keys] == first
    keyboard._composer.clear()
    for c in "zhongguoren":
        tov_touchui.fire_key(find_button(keyboard, c))
    # A candidate for the first syllables only is fixed; the rest is offered next.
    single = next(k for k in keyboard._candidate_keys if k.GetLabel() == "中国")
    tov_touchui.fire_key(single)
    assert keyboard.get_value() == "" and keyboard.ui_composition.GetLabel() == "中国ren"
    rest = keyboard._candidate_keys[1]  # [0] is the sentence for the whole composition
    chosen = rest.GetLabel()
    tov_touchui.fire_key(rest)
    assert keyboard.get_value() == "中国" + chosen and len(chosen) == 1


def test_switching_to_latin_and_back_mid_text(app, frame):
    script = WhenModal(tov_touch.AlphaKeypad, *letters("ni "),
                       lambda k: click(k.ui_layout), *letters("ok"),
                       lambda k: click(k.ui_layout), *letters("hao "),
                       lambda k: click(k.ui_ok), timeout_ms=20000)
    assert tov_touch.input_text(frame) == "你ok好"
    script.check()


def test_a_sentence_of_22_syllables_with_punctuation_and_digits_between(app, frame):
    sentence = "jintiantianqihenhaowomenyiqiqugongyuansanbuzhonghuarenmingongheguo"
    script = WhenModal(tov_touch.AlphaKeypad, *letters(sentence), *letters("，3dian。"),
                       lambda k: click(k.ui_ok), timeout_ms=60000)
    result = tov_touch.input_text(frame)
    script.check()
    # One character a syllable: none dropped, every piece converted, in the order typed.
    assert re.fullmatch(r"[\u4e00-\u9fff]{22}，3[\u4e00-\u9fff]。", result), result


def press(keyboard, steps):
    """Presses by label: a str is a run of keys (letters, digits, punctuation), ␣ is Space;
    "Caps", "Layout", "⌫" are those keys; ("typed", text) comes from a physical keyboard."""
    for step in steps:
        if isinstance(step, tuple):
            keyboard.ui_value_normal.on_typed(step[1])
            continue
        named = {"Caps": lambda: keyboard.ui_caps_lock_on if keyboard.ui_caps_lock_on.
                 IsShownOnScreen() else keyboard.ui_caps_lock_off,
                 "Layout": lambda: keyboard.ui_layout, "⌫": lambda: keyboard.ui_backspace}
        keys = [named[step]()] if step in named else [
            keyboard.ui_space if c == "␣" else find_button(keyboard, c) for c in step]
        for key in keys:
            tov_touchui.fire_key(key)
            flush_events(0)


@pytest.mark.parametrize("steps, typed", [
    (["ni", "2", "hao␣"], "你2好"),
    (["nihao", "，"], "你好，"),
    (["ni", "Caps", "ABC", "Caps", "hao␣"], "你ABC好"),
    (["nihao", "Layout", "abc", "Layout", "ma␣"], "nihaoabc吗"),
    (["xi'an␣"], "西安"),
    (["l", ("typed", "ü"), "␣"], "率"),                  # ü composes as v: lv
    (["ni", ("typed", "!?"), "hao", ("typed", "1")], "你!?好1"),
    (["'"], "'"),                                          # no composition: itself
    (["shuang" * 7, "。"], re.compile("[\u4e00-\u9fff]{7}。")),  # past the engine's room
])
def test_everything_lands_in_the_order_typed(steps, typed, keyboard):
    press(keyboard, steps)
    assert re.fullmatch(typed, keyboard.get_value()) if isinstance(typed, re.Pattern) \
        else keyboard.get_value() == typed
    assert keyboard.ui_composition.GetLabel() == ""


def test_physical_keys_xi_an_and_space(app, frame):
    script = WhenModal(tov_touch.AlphaKeypad, lambda k: type_keys(k, *"xi'an "),
                       lambda k: click(k.ui_ok), timeout_ms=20000)
    assert tov_touch.input_text(frame) == "西安"
    script.check()


def test_ok_commits_the_composition_as_typed(app, frame):
    script = WhenModal(tov_touch.AlphaKeypad, *letters("ni "), *letters("hao"),
                       lambda k: click(k.ui_ok), timeout_ms=20000)
    assert tov_touch.input_text(frame) == "你hao"
    script.check()


def masked_proxy(frame):
    ctrl = wx.TextCtrl(frame, style=wx.TE_PASSWORD)
    tov_touch.AlphaKeypadProxy(ctrl)
    return lambda: (click(ctrl), ctrl.GetValue())[1]


@pytest.mark.parametrize("open_keyboard", [
    lambda frame: lambda: tov_touch.input_password(frame), masked_proxy])
def test_a_password_never_composes(app, frame, open_keyboard, request):
    tov_touchui.set_layout(None)
    tov_touchui.set_language("zh_CN")
    request.addfinalizer(lambda: tov_touchui.set_language(None))
    assert tov_touchui.get_layout() == "pinyin"  # a Simplified Chinese application's default
    seen = {}

    def look(k):
        seen.update(layout=k.layout_name(), switch=k.ui_layout.IsShown(),
                    row=k.ui_candidates.IsShown(), field=k.ui_value_password.shown_text())
    script = WhenModal(tov_touch.AlphaKeypad, *letters("mima"), *letters("12"), look,
                       lambda k: click(k.ui_ok), timeout_ms=20000)
    assert open_keyboard(frame)() == "mima12"
    script.check()
    assert seen == {"layout": "us", "switch": False, "row": False, "field": "\u25cf" * 6}


# ---- the engine's process -------------------------------------------------------------------

# Sequences that end libgooglepinyin itself, by aborting or smashing its stack.
REPRODUCTIONS = [
    [("search", "angchv"), ("choose", 1), ("choose", 216),
     ("search", "angchshixianxianshizhongxzhongzhxian"), ("choose", 2)],
]


@pytest.mark.parametrize("calls", REPRODUCTIONS)
def test_what_ends_the_engine_ends_only_its_process(calls):
    engine = composing.EngineProcess("pinyin")
    try:
        for operation, argument in calls:
            try:
                engine.request(operation, argument)
            except (composing.EngineGone, ValueError):
                pass
        assert engine.request("search", "nihao")["candidates"][0] == "你好"
    finally:
        engine.close()


def test_the_touches_that_ended_the_application(keyboard):
    press(keyboard, ["angchv"])
    tov_touchui.fire_key(keyboard._candidate_keys[1])
    for _ in range(36):
        tov_touchui.fire_key(keyboard.ui_next)
    tov_touchui.fire_key(keyboard._candidate_keys[0])  # candidate 216
    press(keyboard, ["⌫", "shixianxianshizhongxzhongzhxian"])
    tov_touchui.fire_key(keyboard._candidate_keys[2])
    press(keyboard, ["。"])
    assert keyboard.get_value().endswith("。") and not keyboard._composing()
    assert not re.search("[a-z]", keyboard.get_value())


def test_a_failed_engine_is_replaced_and_the_composition_replayed(keyboard):
    press(keyboard, ["zhongguoren"])
    tov_touchui.fire_key(next(k for k in keyboard._candidate_keys if k.GetLabel() == "中国"))
    engine = composing.process("pinyin")
    started = engine.started
    engine.kill()  # as if it had crashed
    press(keyboard, ["⌫", "n"])
    assert keyboard.ui_composition.GetLabel() == "中国ren" and engine.started == started + 1
    press(keyboard, ["␣"])
    assert keyboard.get_value().startswith("中国") and len(keyboard.get_value()) == 3


def test_without_an_engine_the_letters_are_typed_as_they_are(monkeypatch, keyboard):
    keyboard._composer._process = composing.EngineProcess("pinyin")  # one of its own
    monkeypatch.setattr(composing.sys, "executable", "/bin/false")  # a process that ends
    press(keyboard, ["nihao"])
    assert keyboard.ui_composition.GetLabel() == "nihao"
    assert not any(k.IsEnabled() for k in keyboard._candidate_keys)
    press(keyboard, ["，", "ma␣"])
    assert keyboard.get_value() == "nihao，ma"


def test_a_hung_engine_misses_its_deadline(monkeypatch):
    engine = composing.EngineProcess("pinyin")
    try:
        engine.request("search", "ni")
        engine._child.send_signal(__import__("signal").SIGSTOP)
        monkeypatch.setattr(composing.EngineProcess, "REPLY_S", 0.2)
        with pytest.raises(composing.EngineGone):
            engine.request("search", "nihao")
        assert engine.request("search", "nihao")["candidates"][0] == "你好"
    finally:
        engine.close()


# ---- the user dictionary --------------------------------------------------------------------

def learn_shi_yan(engine):
    """Composes 使言 from shiyan, 使 then 言 (neither the engine's first guess); True when the
    engine knew the phrase before."""
    def offered():
        return engine.request("search", "shiyan", 0, 100)["candidates"]
    known = "使言" in offered()
    engine.request("choose", offered().index("使"))
    engine.request("choose", engine.request("page", None, 0, 100)["candidates"].index("言"))
    return known


def test_what_is_learnt_outlives_the_process(tmp_path, monkeypatch):
    monkeypatch.setenv("XDG_DATA_HOME", str(tmp_path))
    engine = composing.EngineProcess("pinyin")
    try:
        assert learn_shi_yan(engine) is False
        engine.close()
        assert learn_shi_yan(engine) is True  # a new process, on the dictionary saved
    finally:
        engine.close()
    assert os.listdir(str(tmp_path / "tov_touch")) == ["pinyin.dict"]


@pytest.mark.parametrize("content", [b"not a dictionary", b"\xf0\xde\xbc\x0a" + b"\x00" * 5])
def test_a_damaged_user_dictionary_is_set_aside(tmp_path, monkeypatch, content):
    monkeypatch.setenv("XDG_DATA_HOME", str(tmp_path))
    (tmp_path / "tov_touch").mkdir()
    (tmp_path / "tov_touch" / "pinyin.dict").write_bytes(content)
    engine = composing.EngineProcess("pinyin")
    try:
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            assert engine.request("search", "nihao")["candidates"][0] == "你好"
        assert [str(w.message) for w in caught if "damaged" in str(w.message)]
        learn_shi_yan(engine)
    finally:
        engine.close()
    names = sorted(os.listdir(str(tmp_path / "tov_touch")))
    assert names[0] == "pinyin.dict" and names[1].startswith("pinyin.dict.damaged-")
    assert (tmp_path / "tov_touch" / names[1]).read_bytes() == content


# ---- seeded random runs ---------------------------------------------------------------------

SEEDS = int(os.environ.get("FUZZ_SEEDS", "1"))
ENGINE_CALLS = int(os.environ.get("PINYIN_ENGINE_CALLS", "3000"))
KEY_PRESSES = int(os.environ.get("PINYIN_KEY_PRESSES", "400"))
FIRST_SEED = 20261208


@pytest.fixture
def own_data_folder(tmp_path, monkeypatch):
    """A data folder of the test's own: what random choices teach the engine stays there. The
    keyboards' engine process starts again on it, and after the test on the usual one."""
    monkeypatch.setenv("XDG_DATA_HOME", str(tmp_path))
    composing.process("pinyin").close()
    yield
    composing.process("pinyin").close()


def random_letters(rng):
    return rng.choice([
        lambda: "".join(rng.choice("abcdefghijklmnopqrstuvwxyz'")
                        for _ in range(rng.randrange(60))),
        lambda: "".join(rng.choice("zcshgjqxv") for _ in range(rng.randrange(5, 40))),
        lambda: "".join(rng.choice(["zhong", "guo", "ni", "hao", "shi", "xian", "ang", "ch", "v",
                                    "'"]) for _ in range(rng.randrange(1, 12))),
        lambda: rng.choice(["", "'", "v", "i", "ng", "z" * 16, "angchv"]),
    ])()


@pytest.mark.timeout(3600)
@pytest.mark.parametrize("seed", range(FIRST_SEED, FIRST_SEED + SEEDS))
def test_random_engine_calls(seed, own_data_folder):
    """Calls straight to the engine's process: whatever it does, this process goes on, and
    a new engine answers after each one that ended."""
    rng = random.Random(seed)
    engine = composing.EngineProcess("pinyin")
    count, ended = 0, 0
    try:
        for _ in range(ENGINE_CALLS):
            operation = rng.choice(["search"] * 3 + ["choose"] * 3 + ["page", "reset"])
            argument = random_letters(rng) if operation == "search" else rng.choice(
                [rng.randrange(max(count, 1)), rng.randrange(max(count, 1) + 300), -1, "x"])
            try:
                count = engine.request(operation, argument, rng.randrange(300),
                                       rng.choice([0, 6, 50]))["count"]
            except composing.EngineGone:
                ended, count = ended + 1, 0
            except ValueError:
                pass
        engine.request("reset")
        assert "你好" in engine.request("search", "nihao", 0, 50)["candidates"]
    finally:
        engine.close()
    print("seed %d: %d calls, %d engine processes ended" % (seed, ENGINE_CALLS, ended))


@pytest.mark.timeout(3600)
@pytest.mark.parametrize("seed", range(FIRST_SEED, FIRST_SEED + SEEDS))
def test_random_key_presses(seed, own_data_folder, keyboard):
    """Every key of the pinyin layout, and physical characters, in random order: no handler
    raises, a letter key never touches the field, and what another key types lands after
    everything typed before it."""
    rng = random.Random(seed)
    started = composing.process("pinyin").started  # the keyboard's own
    for _ in range(KEY_PRESSES):
        # Taken afresh: the layout key fills the groups with new keys.
        letters = [k for row in range(3) for k in
                   getattr(keyboard, "ui_caps_off_%d" % row).GetChildren()
                   if k is not keyboard.ui_caps_lock_on]
        symbols = list(keyboard.no_Shift.GetChildren())
        composing_keys = letters if keyboard.layout_name() == "pinyin" else []
        typing_keys = symbols + [keyboard.ui_tab] + (letters if not composing_keys else [])
        others = list(keyboard._candidate_keys) + [
            keyboard.ui_next, keyboard.ui_previous, keyboard.ui_backspace,
            keyboard.ui_space, keyboard.ui_layout, keyboard.ui_clear]
        kind = rng.randrange(10)
        before = keyboard.get_value()
        if kind == 9:
            char = rng.choice("ü',.1A ")
            keyboard.ui_value_normal.on_typed(char)
            if char not in "ü' ":
                assert keyboard.get_value().endswith(char) and not keyboard._composing()
            continue
        key = rng.choice(composing_keys or typing_keys if kind < 6 else
                         typing_keys if kind < 7 else others)
        if not (key.IsEnabled() and key.IsShown()):
            continue
        tov_touchui.fire_key(key)
        after = keyboard.get_value()
        if key in composing_keys and key.GetLabel() != "'":
            assert after == before
        elif key in typing_keys:
            typed = "\t" if key is keyboard.ui_tab else key.GetLabel()
            assert after.startswith(before) and after.endswith(typed)
            assert not keyboard._composing()
        if len(after) > 400:
            tov_touchui.fire_key(keyboard.ui_clear)
    print("seed %d: %d presses, %d engine processes replaced" % (
        seed, KEY_PRESSES, composing.process("pinyin").started - started))
