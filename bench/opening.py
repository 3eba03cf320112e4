"""Touches that open a keypad, and presses that change the text keyboard's state, in a process
of its own, timed or counted: the first touch is the session's first (fonts, palettes and
layouts not yet loaded).

    python3 bench/opening.py WHAT SAMPLES [--layout NAME] [--count]

WHAT: digit, pin or text (a touch on a bound control opens that keypad), or shift, caps, page
or layout (a press of that key on an open text keyboard), or compose (the letters of "nihao",
over and over, on a composing layout). Prints one JSON line:
{"first": [ms, ...], "whole": [ms, ...]}, the first sample cold: to the keypad's first paint
event, and to the end of the paints that the same frame brings (the keypad drawn whole).
With --count the clock is not read: a marker call (wx.MilliSleep) at each touch and at each
first paint cuts callgrind's count there.
"""
import json
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.environ.get("TOUCH_BUILD") or os.path.join(os.path.dirname(HERE), "build"))
ARGS = sys.argv[1:]
del sys.argv[1:]  # GTK takes options of its own from the command line

import wx  # noqa: E402

import tov_touch  # noqa: E402
import tov_touchui  # noqa: E402

KEYPADS = ("digit", "pin", "text")
STATE_KEYS = {"shift": "ui_shift_0", "caps": None, "page": "ui_page", "layout": "ui_layout"}
COMPOSED = "nihao"  # what the compose presses type, over and over, on a composing layout


class FirstPaint(wx.EventFilter):
    """Notes the first paint under the keypad after each start(), and the end of that frame's
    paints (the first idle time after it)."""

    def __init__(self, count):
        wx.EventFilter.__init__(self)
        self.count = count
        self.first = self.whole = self.started = None
        self.after = None  # called once the frame is drawn

    def start(self, after):
        self.first = self.whole = None
        self.after = after
        self.started = self._now()

    def _now(self):
        if self.count:
            wx.MilliSleep(0)
            return 0.0
        return time.perf_counter()

    def FilterEvent(self, event):
        if (self.first is None and self.started is not None
                and event.GetEventType() == wx.wxEVT_PAINT):
            window = event.GetEventObject()
            top = window and wx.GetTopLevelParent(window)
            if isinstance(top, tov_touchui.keypad.Keypad):
                self.first = self._now()
                wx.CallAfter(self._drawn)
        return self.Event_Skip

    def _drawn(self):
        self.whole = self._now()
        after, self.after = self.after, None
        after()

    def milliseconds(self):
        return ((self.first - self.started) * 1000, (self.whole - self.started) * 1000)


def keypad_open():
    return next((w for w in wx.GetTopLevelWindows()
                 if isinstance(w, tov_touchui.keypad.Keypad) and w.IsModal()), None)


def end_keypad():
    keypad = keypad_open()
    if keypad is not None:
        keypad.EndModal(wx.ID_CANCEL)


def touches(frame, watch, what, samples):
    """Each sample a touch on the bound control, the keypad ended once it is drawn."""
    field = wx.TextCtrl(frame, value="4" if what == "digit" else "abc")
    if what == "digit":
        tov_touch.DigitKeypadProxy(field, tov_touch.KEYPAD_MODE_FLOAT, 0, 10)
    elif what == "text":
        tov_touch.AlphaKeypadProxy(field)
    else:
        field.Bind(wx.EVT_LEFT_DOWN, lambda event: tov_touch.input_digit_password(frame))
    settle(frame)
    times = []
    for _ in range(samples):
        watch.start(end_keypad)
        event = wx.MouseEvent(wx.wxEVT_LEFT_DOWN)
        event.SetEventObject(field)
        field.GetEventHandler().ProcessEvent(event)  # returns when the keypad has ended
        times.append(watch.milliseconds())
        settle(frame)
    return times


def presses(frame, watch, what, samples):
    """Each sample a press of the state key on one open text keyboard."""
    keyboard = tov_touch.AlphaKeypad(frame)
    times = []

    def press_next():
        if len(times) == samples or not keyboard.IsModal():
            keyboard.EndModal(wx.ID_CANCEL)
            return
        if what == "compose":
            letter = COMPOSED[len(times) % len(COMPOSED)]
            key = next(k for row in range(3) for k in getattr(keyboard, "ui_caps_off_%d" % row)
                       .GetChildren() if k.GetLabel() == letter)
        else:
            name = STATE_KEYS[what] or ("ui_caps_lock_on" if keyboard.ui_caps_off_2.IsShown()
                                        else "ui_caps_lock_off")
            key = getattr(keyboard, name)
        watch.start(lambda: (times.append(watch.milliseconds()),
                             wx.CallLater(30, press_next)))
        tov_touchui.fire_key(key)

    wx.CallLater(300, press_next)
    keyboard.ShowModal()
    keyboard.Destroy()
    return times


def settle(frame):
    end = time.monotonic() + 0.03
    while time.monotonic() < end:
        wx.GetApp().Yield(True)
        time.sleep(0.001)  # not wx.MilliSleep: that is the counting's marker


def main():
    count = "--count" in ARGS
    args = [a for a in ARGS if a != "--count"]
    what, samples = args[0], int(args[1])
    if "--layout" in args:
        tov_touchui.set_layout(args[args.index("--layout") + 1])
    app = wx.App(False)  # noqa: F841 (kept alive for the run)
    frame = wx.Frame(None, size=(400, 300))
    frame.Show()
    watch = FirstPaint(count)
    wx.EvtHandler.AddFilter(watch)
    run = touches if what in KEYPADS else presses
    times = run(frame, watch, what, samples)
    wx.EvtHandler.RemoveFilter(watch)
    frame.Destroy()
    print(json.dumps({"first": [t[0] for t in times], "whole": [t[1] for t in times]}))


if __name__ == "__main__":
    main()
