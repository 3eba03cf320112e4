"""AlphaKeypadProxy on real text controls, static texts and grids."""
import pytest
import wx
import wx.grid

import tov_touch
import tov_touchui
from gui import WhenModal, double_click_cell, gone, left_down, press, touch_and_check

pytestmark = pytest.mark.timeout(60)
Keyboard = tov_touch.AlphaKeypad


def ok(keyboard):
    press(keyboard.ui_ok)


def cancel(keyboard):
    keyboard.EndModal(wx.ID_CANCEL)


def record(into):
    def look(keyboard):
        into.update(text=keyboard._AlphaKeypad__text_field.GetValue(), keyboard=keyboard,
                    masked=keyboard._AlphaKeypad__text_field is keyboard.ui_value_password,
                    widget=keyboard._AlphaKeypad__widget,
                    prompt=keyboard.ui_message.IsShown() and keyboard.ui_message.GetLabel())
    return look


@pytest.mark.parametrize("style, password_mode, masked", [
    (wx.TE_PASSWORD, None, True), (wx.TE_PASSWORD, False, False), (0, None, False), (0, 1, True)])
def test_password_mode(frame, style, password_mode, masked):
    ctrl = wx.TextCtrl(frame, style=style)
    proxy = tov_touch.AlphaKeypadProxy(ctrl, password_mode)
    seen = {}
    script = WhenModal(Keyboard, record(seen), cancel)
    left_down(ctrl)
    script.check()
    assert seen["masked"] is masked and seen["widget"] is proxy._ctrl
    # A field with no label of its own is named by the keyboard's default prompt.
    assert seen["prompt"] == tov_touchui.caption("prompt_text")


def test_trimmed_on_open_written_back_as_typed(frame):
    ctrl = wx.TextCtrl(frame, value="  ab  ", pos=(10, 10), size=(200, 40))
    tov_touch.AlphaKeypadProxy(ctrl)
    seen = {}
    script = WhenModal(Keyboard, record(seen), lambda k: k.set_value(" a\tb "), ok,
                       timeout_ms=10000)
    touch_and_check(ctrl, script)
    assert seen["text"] == "ab"
    assert ctrl.GetValue() == " a\tb "
    assert gone(seen["keyboard"])


def test_cancel_leaves_the_control_and_confirming_removes_the_blanks(frame):
    label = wx.StaticText(frame, label=" name ")
    tov_touch.AlphaKeypadProxy(label)
    script = WhenModal(Keyboard, lambda k: press(k.ui_space), cancel)
    left_down(label)
    script.check()
    assert label.GetLabel() == " name "
    script = WhenModal(Keyboard, ok)
    left_down(label)
    script.check()
    assert label.GetLabel() == "name"


def test_focus_moves_to_the_control_before_the_keyboard_opens(frame, monkeypatch):
    order = []

    class Watched(wx.TextCtrl):
        def SetFocus(self):
            order.append("focus")
            super().SetFocus()

    class Keypad(Keyboard):
        def __init__(self, *args, **kwargs):
            order.append("keyboard")
            Keyboard.__init__(self, *args, **kwargs)
    monkeypatch.setattr(tov_touch, "AlphaKeypad", Keypad)
    ctrl = Watched(frame)
    tov_touch.AlphaKeypadProxy(ctrl)
    script = WhenModal(Keypad, cancel)
    left_down(ctrl)
    script.check()
    assert order == ["focus", "keyboard"]


def test_grid_cells(frame):
    grid = wx.grid.Grid(frame)
    grid.CreateGrid(5, 5)
    grid.SetCellValue(2, 3, "  old ")
    proxy = tov_touch.AlphaKeypadProxy(grid)
    seen = {}
    script = WhenModal(Keyboard, record(seen), lambda k: k.set_value("new "), ok)
    double_click_cell(grid, 2, 3)
    script.check()
    assert seen["text"] == "old" and seen["widget"] is proxy._ctrl
    assert seen["masked"] is bool(proxy._ctrl.window_style & wx.TE_PASSWORD)
    assert grid.GetCellValue(2, 3) == "new "
    assert proxy.get_value() == "new "
    proxy.set_value(12)
    assert grid.GetCellValue(2, 3) == "12"


def test_grid_with_a_non_grid_binder_edits_cell_0_0(frame):
    grid = wx.grid.Grid(frame)
    grid.CreateGrid(3, 3)
    tov_touch.AlphaKeypadProxy(grid, event=wx.EVT_LEFT_DOWN)
    script = WhenModal(Keyboard, lambda k: k.set_value("x"), ok)
    left_down(grid)
    script.check()
    assert grid.GetCellValue(0, 0) == "x"


def test_password_mode_is_read_at_each_event(frame):
    ctrl = wx.TextCtrl(frame)
    proxy = tov_touch.AlphaKeypadProxy(ctrl)
    proxy.password_mode = True
    seen = {}
    script = WhenModal(Keyboard, record(seen), cancel)
    left_down(ctrl)
    script.check()
    assert seen["masked"] is True
    assert proxy.ctrl_focus is ctrl


class Failing(Keyboard):
    def get_value(self):
        raise KeyError("read failed")


def test_an_exception_destroys_the_keyboard_and_propagates(frame, monkeypatch):
    monkeypatch.setattr(tov_touch, "AlphaKeypad", Failing)
    ctrl = wx.TextCtrl(frame, value="keep")
    proxy = tov_touch.AlphaKeypadProxy(ctrl)
    seen = {}
    script = WhenModal(Failing, record(seen), ok)
    with pytest.raises(KeyError) as caught:
        proxy.event_handler(None)
    script.check()
    assert [e.name for e in caught.traceback][-2:] == [
        "tov_touch.AlphaKeypadProxy.event_handler", "get_value"]
    assert gone(seen["keyboard"])
    assert ctrl.GetValue() == "keep"


def test_get_value_is_unstripped(frame):
    assert tov_touch.AlphaKeypadProxy(wx.TextCtrl(frame, value=" x ")).get_value() == " x "


@pytest.mark.parametrize("password", [False, True])
def test_long_notes_come_back_whole(frame, password):
    notes = "".join("line %d of the shift notes\n" % n for n in range(3200))  # 80,000+ chars
    ctrl = wx.TextCtrl(frame, value=notes + "end", style=wx.TE_MULTILINE, pos=(10, 10),
                       size=(300, 120))
    tov_touch.AlphaKeypadProxy(ctrl, password)
    seen = {}
    script = WhenModal(Keyboard, record(seen), ok, timeout_ms=10000)
    touch_and_check(ctrl, script)
    assert len(seen["text"]) == len(notes) + 3 and ctrl.GetValue() == notes + "end"
