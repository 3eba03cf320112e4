"""Reference counts and object growth across many calls into tov_touch.

Every case calls a method thousands of times with objects the test owns and checks that their
reference counts come back exactly, and that the number of objects the collector tracks does not
grow with the number of calls (a leak of one object per call shows as thousands). The cycle tests
open, confirm and destroy every dialog and every proxy's keypad and check nothing is left behind.
"""
import gc
import os
import sys
import time

import pytest
import wx

import tov_touch
import tov_touchui
from gui import flush_events, left_down, press, find_button

pytestmark = pytest.mark.timeout(120)

CALLS = 3000
SUMMARY = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                       "build", "refcount-summary.txt")
_lines = []


class Stand(object):
    """An attribute bag: the stand-in self, control or field."""

    def __init__(self, **attrs):
        self.__dict__.update(attrs)


class Token(object):
    """A distinct object whose reference count the test watches."""


class Text(str):
    """A distinct str whose reference count the test watches."""


class Loud(object):
    """Answers comparisons with a watched object, not a bool."""

    def __init__(self, answer):
        self.answer = answer

    def __lt__(self, other):
        return self.answer

    __gt__ = __lt__


class Failure(Exception):
    pass


def measure(call, watched, calls=CALLS):
    """Runs `call` `calls` times; returns refcount drift per watched object and object growth."""
    for _ in range(50):  # caches, interned names, first-call set-up
        call()
    gc.collect()
    before_refs = [sys.getrefcount(o) for o in watched]
    before_objects = len(gc.get_objects())
    for _ in range(calls):
        call()
    gc.collect()
    after_refs = [sys.getrefcount(o) for o in watched]
    drift = [a - b for a, b in zip(after_refs, before_refs)]
    growth = len(gc.get_objects()) - before_objects
    return drift, growth


def check_flat(name, call, watched, calls=CALLS):
    drift, growth = measure(call, watched, calls)
    _lines.append("%-58s refs %s objects %+d" % (name, drift, growth))
    assert drift == [0] * len(watched), "%s: reference drift %s over %d calls" % (
        name, drift, calls)
    # Less than one object per ten calls: a per-call leak would show as `calls` or more.
    assert growth < calls // 10, "%s: %d more objects after %d calls" % (name, growth, calls)


@pytest.fixture(scope="module", autouse=True)
def summary():
    yield
    os.makedirs(os.path.dirname(SUMMARY), exist_ok=True)
    with open(SUMMARY, "w") as stream:
        stream.write("\n".join(_lines) + "\n")


def raises(exc_type, func, *args, **kwargs):
    def call():
        try:
            func(*args, **kwargs)
        except exc_type:
            pass
        else:
            raise AssertionError("%r did not raise" % func)
    return call


def _bounds():
    low, high = Token(), Token()
    return low, high


OUT_OF_RANGE = tov_touch.DigitKeypad.out_of_range


def out_of_range_cases():
    answer = Token()
    holder = Stand(_minimum=0, _maximum=10)
    loud = Loud(answer)
    big = 10 ** 30
    nan = float("nan")
    yield "out_of_range positional, int", (lambda: OUT_OF_RANGE(holder, 5)), [holder]
    yield "out_of_range by keyword, huge int", (lambda: OUT_OF_RANGE(holder, value=big)), [
        holder, big]
    yield "out_of_range NaN", (lambda: OUT_OF_RANGE(holder, nan)), [holder, nan]
    lows = Stand(_minimum=loud, _maximum=loud)
    yield "out_of_range comparison answering an object", (
        lambda: OUT_OF_RANGE(lows, loud)), [lows, loud, answer]
    yield "out_of_range through a bound method", (
        lambda: BoundsHolder().out_of_range(3)), [BoundsHolder]
    yield "out_of_range wrong count", raises(TypeError, OUT_OF_RANGE, holder, 1, 2), [holder]
    yield "out_of_range wrong keyword", raises(TypeError, OUT_OF_RANGE, holder, valu=1), [holder]
    yield "out_of_range uncomparable", raises(TypeError, OUT_OF_RANGE, holder, "x"), [holder]
    empty = Stand()
    yield "out_of_range missing bounds", raises(AttributeError, OUT_OF_RANGE, empty, 1), [empty]


class BoundsHolder(object):
    _minimum, _maximum = 0, 10
    out_of_range = OUT_OF_RANGE


def value_cases():
    text = "".join(["5", "0"])  # a fresh str of its own, not an interned constant
    written = []
    field = Stand(GetValue=lambda: text, SetValue=written.append)
    pad = Stand(mValueField=field, ui_text=field)
    value = Text("5")

    def set_and_clear():
        tov_touch.DigitKeypad.set_value(pad, value)
        written.clear()
    yield "DigitKeypad.get_value on a stand-in", (
        lambda: tov_touch.DigitKeypad.get_value(pad)), [pad, field, text]
    yield "DigitKeypad.GetValue on a stand-in", (
        lambda: tov_touch.DigitKeypad.GetValue(pad)), [pad, text]
    yield "DigitKeypad.set_value on a stand-in", set_and_clear, [pad, value]
    yield "DigitPasswordKeypad.get_value on a stand-in", (
        lambda: tov_touch.DigitPasswordKeypad.get_value(pad)), [pad, text]

    # A fresh exception each time: one instance raised again would keep growing its traceback.
    failure = Token()

    def broken(*args):
        raise Failure(failure)
    broken_pad = Stand(mValueField=Stand(GetValue=broken, SetValue=broken))
    yield "DigitKeypad.get_value raising through the module", raises(
        Failure, tov_touch.DigitKeypad.get_value, broken_pad), [broken_pad, failure]
    yield "DigitKeypad.set_value raising through the module", raises(
        Failure, tov_touch.DigitKeypad.set_value, broken_pad, value), [broken_pad, value, failure]
    yield "DigitKeypad.set_value missing field", raises(
        AttributeError, tov_touch.DigitKeypad.set_value, Stand(), value), [value]


def wrapper_cases():
    value = Token()
    label = Token()
    written = []

    def set_and_clear(wrapper, v):
        wrapper.set_string(v)
        written.clear()
    text = tov_touch._CtrlWrapper(Stand(GetValue=lambda: value, SetValue=written.append,
                                        GetWindowStyle=lambda: 0))
    yield "_CtrlWrapper.get_string over GetValue", text.get_string, [text, value]
    yield "_CtrlWrapper.set_string over SetValue", lambda: set_and_clear(text, value), [value]
    static = tov_touch._CtrlWrapper(Stand(GetLabel=lambda: label, SetLabel=written.append,
                                          GetWindowStyle=lambda: 0))
    yield "_CtrlWrapper.get_string over GetLabel", static.get_string, [static, label]
    yield "_CtrlWrapper.set_string over SetLabel", lambda: set_and_clear(static, label), [label]
    bare = tov_touch._CtrlWrapper(Stand(GetWindowStyle=lambda: 0))
    yield "_CtrlWrapper.get_string unsupported", raises(TypeError, bare.get_string), [bare]
    yield "_CtrlWrapper.set_string unsupported", raises(TypeError, bare.set_string, value), [
        bare, value]
    yield "_CtrlWrapper() no arguments", raises(TypeError, tov_touch._CtrlWrapper), []


def proxy_cases():
    text = " 2.5 "
    written = []
    ctrl = Stand(get_string=lambda: text, set_string=written.append)
    value = Token()

    def set_and_clear(cls, holder):
        cls.set_value(holder, value)
        written.clear()
    for cls in (tov_touch.DigitKeypadProxy, tov_touch.AlphaKeypadProxy):
        holder = Stand(_ctrl=ctrl, _mode=tov_touch.KEYPAD_MODE_FLOAT)
        yield "%s.get_value on a stand-in" % cls.__name__, (
            lambda cls=cls, holder=holder: cls.get_value(holder)), [holder, ctrl]
        yield "%s.set_value on a stand-in" % cls.__name__, (
            lambda cls=cls, holder=holder: set_and_clear(cls, holder)), [holder, value]


def handler_cases():
    failure = Token()

    def broken(*args):
        raise Failure(failure)
    pad = Stand(mValueField=Stand(GetValue=lambda: "5"), _mode=tov_touch.KEYPAD_MODE_FLOAT,
                _minimum=0, _maximum=10, out_of_range=broken)
    yield "DigitKeypad.on_enter raising through a traceback entry", raises(
        Failure, tov_touch.DigitKeypad.on_enter, pad, None), [pad, failure]


CASES = [c for source in (out_of_range_cases, value_cases, wrapper_cases, proxy_cases,
                          handler_cases) for c in source()]


@pytest.mark.parametrize("name, call, watched", CASES, ids=[c[0] for c in CASES])
def test_calls_leave_counts_flat(name, call, watched):
    check_flat(name, call, watched)


def test_grid_wrapper_counts(frame):
    import wx.grid
    cell = Token()
    written = []

    class Cells(wx.grid.Grid):
        def GetCellValue(self, row, col):
            return cell

        def SetCellValue(self, row, col, value):
            written.append(value)
    grid = Cells(frame)
    grid.CreateGrid(3, 3)
    wrapper = tov_touch._GridWrapper(grid)
    wrapper.row, wrapper.column = 1, 2

    def set_and_clear():
        wrapper.set_string(cell)
        written.clear()
    check_flat("_GridWrapper.get_string", wrapper.get_string, [wrapper, cell])
    check_flat("_GridWrapper.set_string", set_and_clear, [wrapper, cell])


def test_exception_tracebacks_are_released():
    """The traceback entries the module adds must not keep frames or locals alive."""
    local = Token()

    def broken():
        raise Failure(local)
    pad = Stand(mValueField=Stand(GetValue=broken))
    try:
        tov_touch.DigitKeypad.get_value(pad)
    except Failure as exc:
        caught = exc
    entries = []
    tb = caught.__traceback__
    while tb is not None:
        entries.append(tb.tb_frame.f_code.co_name)
        tb = tb.tb_next
    del caught, tb
    gc.collect()
    assert sys.getrefcount(local) == 2, entries  # `local` and getrefcount's argument


# ---------------------------------------------------------------------------------------------
# Open, confirm, destroy

CYCLES = 100
# The full keyboard takes about 0.1 s to build: fewer cycles keep the run short and still show a
# leak of one object per cycle.
ALPHA_CYCLES = 30


# A cycle whose modal loop is still open after this long is ended, so that a stuck loop fails the
# test instead of hanging it. It bounds each cycle, not the whole run: the sanitiser build takes
# about 2 s for one text keyboard cycle, and a healthy slow run must never meet it.
CYCLE_WATCHDOG_MS = 30000


def confirm_when_modal(cls, prepare=None):
    """Queues, inside the coming modal loop, the confirm press on the open `cls` dialog."""
    deadline = time.monotonic() + CYCLE_WATCHDOG_MS / 1000.0

    def confirm():
        pad = next((w for w in wx.GetTopLevelWindows() if isinstance(w, cls) and w.IsModal()),
                   None)
        if pad is None:  # not shown yet: the loop is still starting
            # Bounded: a loop that ended without us would otherwise keep every later Yield busy.
            if time.monotonic() < deadline:
                wx.CallAfter(confirm)
            return
        if prepare:
            prepare(pad)
        press(find_button(pad, tov_touchui.caption("confirm")))
    wx.CallAfter(confirm)


def open_digit(frame):
    pad = tov_touch.DigitKeypad(frame, tov_touch.KEYPAD_MODE_FLOAT, 0, 10, "Value:")
    pad.SetValue("5")
    confirm_when_modal(tov_touch.DigitKeypad)
    assert pad.ShowModal() == wx.ID_OK
    pad.Destroy()


def open_alpha(frame):
    pad = tov_touch.AlphaKeypad(frame, message="Name:")
    pad.set_value("abc")
    confirm_when_modal(tov_touch.AlphaKeypad)
    assert pad.ShowModal() == wx.ID_OK
    pad.Destroy()


def open_pin(frame):
    pad = tov_touch.DigitPasswordKeypad(frame, "PIN:")
    confirm_when_modal(tov_touch.DigitPasswordKeypad)
    assert pad.ShowModal() == wx.ID_OK
    pad.Destroy()


def digit_proxy(frame):
    ctrl = frame.FindWindowByName("numeric")
    if ctrl is None:
        ctrl = wx.TextCtrl(frame, value="3", name="numeric")
        frame.proxy = tov_touch.DigitKeypadProxy(ctrl, tov_touch.KEYPAD_MODE_FLOAT, 0, 10)
    confirm_when_modal(tov_touch.DigitKeypad)
    left_down(ctrl)


def alpha_proxy(frame):
    ctrl = frame.FindWindowByName("text")
    if ctrl is None:
        ctrl = wx.TextCtrl(frame, value="x", name="text")
        frame.proxy = tov_touch.AlphaKeypadProxy(ctrl)
    confirm_when_modal(tov_touch.AlphaKeypad)
    left_down(ctrl)


def input_function(frame):
    confirm_when_modal(tov_touch.DigitKeypad, lambda pad: pad.SetValue("4"))
    assert tov_touch.input_integer(frame, 0, 10) == 4


CYCLE_CASES = [open_digit, open_alpha, open_pin, digit_proxy, alpha_proxy, input_function]


def settle(app):
    for _ in range(3):
        app.Yield(True)
        flush_events(10)
    gc.collect()


class Watchdog(object):
    """Runs cycles under a per-cycle watchdog and collects what wx printed and swallowed.

    An exception raised in a timer or event handler is printed by wx and kept by the interpreter
    in sys.last_traceback, whose frames hold whatever the interrupted code held (an open text
    keyboard is some 600 objects): it must fail the test as itself, not as object growth.
    """

    def __init__(self, monkeypatch):
        self.ended, self.errors = [], []
        monkeypatch.setattr(sys, "excepthook", lambda kind, value, tb: self.errors.append(
            "%s: %s" % (kind.__name__, value)))

    def run(self, cycle, frame):
        timer = wx.CallLater(CYCLE_WATCHDOG_MS, self.end_modal_loops)
        try:
            cycle(frame)
        finally:
            timer.Stop()

    def end_modal_loops(self):
        for window in wx.GetTopLevelWindows():
            if isinstance(window, wx.Dialog) and window.IsModal():
                self.ended.append(type(window).__name__)
                window.EndModal(wx.ID_CANCEL)

    def check(self):
        assert not self.errors, "exceptions inside wx callbacks: %s" % self.errors
        assert not self.ended, "modal loops still open after %d ms: %s" % (CYCLE_WATCHDOG_MS,
                                                                           self.ended)


@pytest.mark.parametrize("cycle", CYCLE_CASES, ids=[c.__name__ for c in CYCLE_CASES])
def test_open_confirm_destroy_cycles(frame, app, monkeypatch, cycle):
    watchdog = Watchdog(monkeypatch)
    cycles = ALPHA_CYCLES if "alpha" in cycle.__name__ else CYCLES
    for _ in range(5):
        watchdog.run(cycle, frame)
    settle(app)
    windows = len(wx.GetTopLevelWindows())
    before = len(gc.get_objects())
    for _ in range(cycles):
        watchdog.run(cycle, frame)
    settle(app)
    growth = len(gc.get_objects()) - before
    _lines.append("%-58s objects %+d over %d cycles" % ("cycle " + cycle.__name__, growth,
                                                         cycles))
    watchdog.check()
    assert len(wx.GetTopLevelWindows()) == windows, [w.GetTitle()
                                                    for w in wx.GetTopLevelWindows()]
    # A leak of one object per cycle reaches `cycles`; a one-off cache filled late stays below it.
    assert growth < cycles, "%d more objects after %d cycles" % (growth, cycles)
