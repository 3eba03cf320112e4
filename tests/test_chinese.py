"""Chinese on the text keyboard: pinyin composed through the engine, candidates typed through
the keypad class, by real touches; and a long random run that must never put an uncommitted
letter in the field."""
import random

import pytest
import wx
import wx.grid

import tov_touch
import tov_touchui
from gui import WhenModal, click, double_click_cell, find_button, flush_events

pytest.importorskip("tov_pinyin", reason="the pinyin engine (libgooglepinyin0-dev) is missing")
pytestmark = pytest.mark.timeout(120)


@pytest.fixture(autouse=True)
def pinyin_layout():
    tov_touchui.set_layout("pinyin")
    yield
    tov_touchui.set_layout(None)


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


def test_pages_of_candidates_and_a_partial_choice(app, frame):
    keyboard = tov_touch.AlphaKeypad(frame)
    try:
        keyboard.Show()
        flush_events(100)
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
    finally:
        keyboard.Destroy()


def test_switching_to_latin_and_back_mid_text(app, frame):
    script = WhenModal(tov_touch.AlphaKeypad, *letters("ni "),
                       lambda k: click(k.ui_layout), *letters("ok"),
                       lambda k: click(k.ui_layout), *letters("hao "),
                       lambda k: click(k.ui_ok), timeout_ms=20000)
    assert tov_touch.input_text(frame) == "你ok好"
    script.check()


def test_a_thousand_random_keys_never_leak_a_letter(app, frame):
    rng = random.Random(20261208)
    keyboard = tov_touch.AlphaKeypad(frame)
    try:
        keys = [k for group in range(3) for k in
                getattr(keyboard, "ui_caps_off_%d" % group).GetChildren()
                if k is not keyboard.ui_caps_lock_on]
        actions = [(key, keyboard._on_letter_key) for key in keys] * 3 + [
            (key, keyboard._on_candidate) for key in keyboard._candidate_keys] + [
            (keyboard.ui_next, keyboard._on_page_key), (keyboard.ui_previous,
                                                        keyboard._on_page_key),
            (keyboard.ui_backspace, keyboard._on_backspace_key),
            (keyboard.ui_space, keyboard._on_space_key)]
        for _ in range(1000):
            key, handler = rng.choice(actions)
            if not key.IsEnabled():
                continue
            before = keyboard.get_value()
            event = wx.CommandEvent(wx.wxEVT_BUTTON, key.GetId())
            event.SetEventObject(key)
            handler(event)  # called directly: an exception fails the test
            after = keyboard.get_value()
            if handler is keyboard._on_letter_key or handler is keyboard._on_page_key:
                assert after == before
            assert not any("a" <= c <= "z" for c in after[len(before):]), after
    finally:
        keyboard.Destroy()
