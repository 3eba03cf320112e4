"""The screen closes under an open keypad.

An application's timer destroys the window that a keypad dialog belongs to while the dialog is
open: the keypad leaves its dying parent, ShowModal() returns as cancelled and the dialog is
destroyed. The input functions then return None and a proxy writes nothing. A dialog that wx
deleted with its parent all the same (a keypad class whose ShowModal() kills the parent first)
is neither destroyed again nor read, and an exception raised by the caller's own code still
comes out as it was raised.
"""
import pytest
import wx
import wx.grid

import tov_touch
from gui import WhenModal, digit_key, flush_events, gone, press, touch_and_check

pytestmark = pytest.mark.timeout(60)


class Boom(Exception):
    pass


def fill(pad):
    """Types something, so that a result read from the dead dialog would show."""
    if isinstance(pad, tov_touch.DigitPasswordKeypad):
        press(digit_key(pad, "7"))
    else:
        pad.set_value("7")


# ---- what opens a keypad: (name, module global of its dialog class, opener) -----------------
# An opener takes the host window and returns (what the call returned, the control or None).

def function(name):
    return lambda host: (getattr(tov_touch, name)(host), None)


def proxy(proxy_class, kind):
    def open_(host):
        if kind == "grid":
            ctrl = wx.grid.Grid(host)
            ctrl.CreateGrid(3, 3)
            ctrl.SetCellValue(1, 2, " 5 ")
            event = wx.grid.GridEvent(ctrl.GetId(), wx.grid.wxEVT_GRID_CELL_LEFT_DCLICK, ctrl,
                                      1, 2)
        else:
            ctrl = wx.TextCtrl(host, value=" 5 ")
            event = wx.MouseEvent(wx.wxEVT_LEFT_DOWN)
            event.SetEventObject(ctrl)
        return proxy_class(ctrl).event_handler(event), ctrl
    return open_


def control_text(ctrl):
    if isinstance(ctrl, wx.grid.Grid):
        return ctrl.GetCellValue(1, 2)
    return ctrl.GetValue()


OPENERS = [
    ("input_integer", "DigitKeypad", function("input_integer")),
    ("input_float", "DigitKeypad", function("input_float")),
    ("input_text", "AlphaKeypad", function("input_text")),
    ("input_password", "AlphaKeypad", function("input_password")),
    ("input_digit_password", "DigitPasswordKeypad", function("input_digit_password")),
    ("DigitKeypadProxy-text", "DigitKeypad", proxy(tov_touch.DigitKeypadProxy, "text")),
    ("DigitKeypadProxy-grid", "DigitKeypad", proxy(tov_touch.DigitKeypadProxy, "grid")),
    ("AlphaKeypadProxy-text", "AlphaKeypad", proxy(tov_touch.AlphaKeypadProxy, "text")),
    ("AlphaKeypadProxy-grid", "AlphaKeypad", proxy(tov_touch.AlphaKeypadProxy, "grid")),
]
PROXIES = [o for o in OPENERS if "Proxy" in o[0]]


def ids(openers):
    return [o[0] for o in openers]


def top_levels():
    flush_events(50)
    return list(wx.GetTopLevelWindows())


@pytest.fixture(params=["frame", "panel"])
def host(request, frame):
    """The screen that goes away: a top-level frame (wx deletes it at the next idle time) or a
    panel of the application's frame (deleted at once)."""
    if request.param == "panel":
        return wx.Panel(frame)
    window = wx.Frame(None, title="screen")
    window.Show()
    return window


@pytest.mark.parametrize("name, dialog_global, opener", OPENERS, ids=ids(OPENERS))
def test_screen_closing_under_the_keypad_gives_none(host, name, dialog_global, opener):
    before = [w for w in top_levels() if w is not host]
    opened = []
    script = WhenModal(getattr(tov_touch, dialog_global), opened.append, fill,
                       lambda pad: host.Destroy())
    result, ctrl = opener(host)
    script.check()
    assert result is None
    assert opened and gone(opened[0])
    assert not host and (ctrl is None or not ctrl)
    assert top_levels() == before


def dying_keypad(base, after):
    """A keypad whose ShowModal() takes its parent (and so itself) down at once, then returns
    wx.ID_OK or raises from the caller's own code."""
    class Keypad(base):
        raised = None

        def ShowModal(self):
            self.GetParent().Destroy()
            if after == "raise":
                Keypad.raised = Boom("from the caller's ShowModal")
                raise Keypad.raised
            return wx.ID_OK
    return Keypad


@pytest.mark.parametrize("after", ["ok", "raise"])
@pytest.mark.parametrize("name, dialog_global, opener", OPENERS, ids=ids(OPENERS))
def test_dead_dialog_is_neither_read_nor_blamed(frame, monkeypatch, name, dialog_global, opener,
                                                after):
    keypad = dying_keypad(getattr(tov_touch, dialog_global), after)
    monkeypatch.setattr(tov_touch, dialog_global, keypad)
    host = wx.Panel(frame)
    if after == "ok":
        assert opener(host)[0] is None, "a deleted dialog counts as cancelled, whatever its code"
    else:
        with pytest.raises(Boom) as caught:
            opener(host)
        assert caught.value is keypad.raised
    assert top_levels() == [frame]


@pytest.mark.parametrize("name, dialog_global, opener", PROXIES, ids=ids(PROXIES))
def test_proxy_leaves_a_surviving_control_alone(frame, monkeypatch, name, dialog_global,
                                                opener):
    elsewhere = wx.Panel(frame)
    base = getattr(tov_touch, dialog_global)

    class Keypad(base):
        """Belongs to another panel than the control's, which the timer destroys."""

        def __init__(self, parent, *args, **kwargs):
            base.__init__(self, elsewhere, *args, **kwargs)
    monkeypatch.setattr(tov_touch, dialog_global, Keypad)
    script = WhenModal(Keypad, fill, lambda pad: elsewhere.Destroy())
    result, ctrl = opener(frame)
    script.check()
    assert result is None
    assert ctrl and control_text(ctrl) == " 5 "
    assert top_levels() == [frame]


@pytest.mark.parametrize("proxy_class, dialog_class", [
    (tov_touch.DigitKeypadProxy, tov_touch.DigitKeypad),
    (tov_touch.AlphaKeypadProxy, tov_touch.AlphaKeypad),
])
def test_a_real_touch_then_the_screen_closes(frame, monkeypatch, proxy_class, dialog_class):
    """The whole road: an X click on the control, the keypad opens, the screen goes. wx prints and
    swallows what a handler raises, so the hook records it."""
    raised = []
    monkeypatch.setattr("sys.excepthook", lambda kind, value, tb: raised.append(value))
    screen = wx.Frame(None, title="screen", pos=(0, 0), size=(400, 300))
    ctrl = wx.TextCtrl(screen, value="5", pos=(10, 10), size=(200, 40))
    screen.Show()
    proxy_class(ctrl)
    script = WhenModal(dialog_class, fill, lambda pad: screen.Destroy())
    touch_and_check(ctrl, script)
    assert raised == []
    assert not screen and not ctrl
    assert top_levels() == [frame]
