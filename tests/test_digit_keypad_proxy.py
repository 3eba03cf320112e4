"""DigitKeypadProxy on real text controls, static texts and grids."""
import math

import pytest
import wx
import wx.grid

import tov_touch
import tov_touchui
from gui import WhenModal, double_click_cell, find_button, gone, left_down, press, touch_and_check

pytestmark = pytest.mark.timeout(60)

INT, FLOAT = tov_touch.KEYPAD_MODE_INT, tov_touch.KEYPAD_MODE_FLOAT
Keypad = tov_touch.DigitKeypad


def keys(*captions):
    return [lambda pad, c=c: press(find_button(pad, c)) for c in captions]


def confirm(pad):
    press(find_button(pad, tov_touchui.caption("confirm")))


def cancel(pad):
    pad.EndModal(wx.ID_CANCEL)


@pytest.fixture
def grid(frame):
    g = wx.grid.Grid(frame)
    g.CreateGrid(5, 5)
    return g


def test_text_control_round_trip_with_a_real_click(frame):
    ctrl = wx.TextCtrl(frame, value="  4 ", pos=(20, 20), size=(200, 40))
    tov_touch.DigitKeypadProxy(ctrl, FLOAT, 0, 10)
    opened = {}
    script = WhenModal(Keypad, lambda pad: opened.update(text=pad.GetValue(), pad=pad),
                       *keys(".", "5"), confirm, timeout_ms=10000)
    touch_and_check(ctrl, script)
    assert opened["text"] == "4"
    assert ctrl.GetValue() == "4.5"
    assert gone(opened["pad"]), "the dialog must be destroyed"


def test_static_text_and_cancel(frame):
    label = wx.StaticText(frame, label=" 7 ")
    tov_touch.DigitKeypadProxy(label)
    script = WhenModal(Keypad, *keys("1"), cancel)
    left_down(label)
    script.check()
    assert label.GetLabel() == " 7 "
    script = WhenModal(Keypad, confirm)
    left_down(label)
    script.check()
    assert label.GetLabel() == "7", "confirming unchanged text writes back the trimmed text"


def test_grid_cell_through_a_real_grid_event(grid):
    grid.SetCellValue(2, 3, " 42 ")
    proxy = tov_touch.DigitKeypadProxy(grid, INT, 0, 100)
    opened = {}
    script = WhenModal(Keypad, lambda pad: opened.update(text=pad.GetValue()),
                       lambda pad: pad.SetValue(""), *keys("1", "7"), confirm)
    double_click_cell(grid, 2, 3)
    script.check()
    assert opened["text"] == "42"
    assert grid.GetCellValue(2, 3) == "17"
    assert (proxy._ctrl.row, proxy._ctrl.column) == (2, 3)
    assert proxy.get_value() == 17

    script = WhenModal(Keypad, *keys("9"), cancel)
    double_click_cell(grid, 2, 3)
    script.check()
    assert grid.GetCellValue(2, 3) == "17"


def test_grid_with_a_non_grid_binder_keeps_cell_0_0(grid):
    grid.SetCellValue(0, 0, "5")
    tov_touch.DigitKeypadProxy(grid, event=wx.EVT_LEFT_DOWN)
    script = WhenModal(Keypad, *keys("0"), confirm)
    left_down(grid)
    script.check()
    assert grid.GetCellValue(0, 0) == "50"


def test_dialog_gets_the_proxy_state_at_each_event(frame):
    ctrl = wx.TextCtrl(frame, value="1")
    proxy = tov_touch.DigitKeypadProxy(ctrl, FLOAT)
    assert (proxy.minimum, proxy.maximum) == (-math.inf, math.inf)
    proxy.font_size = 14
    proxy.minimum = 1
    got = {}
    script = WhenModal(Keypad, lambda pad: got.update(
        font=pad.m_button2.GetFont().GetPointSize(), mode=pad._mode,
        bounds=(pad._minimum, pad._maximum)), cancel)
    left_down(ctrl)
    script.check()
    assert got == {"font": 14, "mode": FLOAT, "bounds": (1.0, math.inf)}


@pytest.mark.parametrize("mode, text, value", [
    (INT, "", "nan"), (FLOAT, "", "nan"), (INT, "12", 12), (FLOAT, "12", 12.0),
    (5, "2.5", 2.5), (INT, " 3 ", 3)])
def test_get_value(frame, mode, text, value):
    proxy = tov_touch.DigitKeypadProxy(wx.TextCtrl(frame, value=text), mode)
    result = proxy.get_value()
    if value == "nan":
        assert isinstance(result, float) and math.isnan(result)
    else:
        assert result == value and type(result) is type(value)


@pytest.mark.parametrize("text", ["1.5", "   "])
def test_get_value_refuses_what_int_refuses(frame, text):
    with pytest.raises(ValueError):
        tov_touch.DigitKeypadProxy(wx.TextCtrl(frame, value=text), INT).get_value()


@pytest.mark.parametrize("value, shown", [(5, "5"), (2.5, "2.5"), (float("nan"), "nan")])
def test_set_value(frame, value, shown):
    ctrl = wx.TextCtrl(frame)
    tov_touch.DigitKeypadProxy(ctrl).set_value(value)
    assert ctrl.GetValue() == shown


def test_bound_properties(frame):
    proxy = tov_touch.DigitKeypadProxy(wx.TextCtrl(frame), minimum=3, maximum=True)
    assert type(proxy.minimum) is int and proxy.maximum is True
    proxy.minimum = 3
    proxy.maximum = True
    assert (type(proxy.minimum), proxy.minimum, proxy.maximum) == (float, 3.0, 1.0)
    for bad in ("4", None, object()):
        with pytest.raises(TypeError):
            proxy.minimum = bad
    assert proxy.minimum == 3.0
    assert tov_touch.DigitKeypadProxy.minimum.fget.__annotations__ == {"return": "float"}
    assert tov_touch.DigitKeypadProxy.maximum.fset.__annotations__ == {"value": "float"}
    assert tov_touch.DigitKeypadProxy.__init__.__defaults__ == (0, -math.inf, math.inf, None, 20)


def test_the_binding_keeps_the_proxy_alive(frame):
    import gc
    import weakref
    ctrl = wx.TextCtrl(frame, value="2")
    ref = weakref.ref(tov_touch.DigitKeypadProxy(ctrl))
    gc.collect()
    assert ref() is not None


class Failing(Keypad):
    failure = None

    def ShowModal(self):
        raise self.failure


def test_an_exception_destroys_the_dialog_and_propagates_unchanged(frame, monkeypatch):
    Failing.failure = LookupError("show failed")
    monkeypatch.setattr(tov_touch, "DigitKeypad", Failing)
    ctrl = wx.TextCtrl(frame, value="3")
    proxy = tov_touch.DigitKeypadProxy(ctrl)
    before = set(wx.GetTopLevelWindows())
    with pytest.raises(LookupError) as caught:
        proxy.event_handler(None)
    assert caught.value is Failing.failure
    names = [entry.name for entry in caught.traceback]
    assert names[-2:] == ["tov_touch.DigitKeypadProxy.event_handler", "ShowModal"]
    wx.GetApp().Yield(True)
    assert set(wx.GetTopLevelWindows()) <= before
    assert ctrl.GetValue() == "3"


@pytest.mark.parametrize("ctrl", [object(), None, 5])
def test_foreign_controls_are_exceptions(ctrl):
    with pytest.raises(AttributeError):
        tov_touch.DigitKeypadProxy(ctrl)


def test_control_without_bind_fails_after_the_attributes_are_set():
    class NoBind(object):
        def GetWindowStyle(self):
            return 0
    with pytest.raises(AttributeError):
        tov_touch.DigitKeypadProxy(NoBind(), FLOAT, 1, 2, None, 9)
