"""tov_touch demo.

With a display: a window whose buttons open the keypads and print what was confirmed.
Without one (DISPLAY unset), or with --walk: starts its own Xvfb when needed, walks through the
keypads with real simulated touches (X events from wx.UIActionSimulator), saves a screenshot of
every keypad it opens under build/screenshots/ and prints each returned value.
"""
import os
import shutil
import subprocess
import sys
import time
import traceback

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
SCREENSHOTS = os.path.join(BUILD, "screenshots")
sys.path.insert(0, BUILD)

import wx  # noqa: E402  (after the path set-up)

import tov_touch  # noqa: E402
import tov_touchui  # noqa: E402

STEP_MS = 120


# ---- what the demo asks for --------------------------------------------------------------------

def ask_number(parent, mode, minimum=float("-inf"), maximum=float("inf"), message=None):
    """Open the numeric keypad; the confirmed number, or None when it was cancelled."""
    pad = tov_touch.DigitKeypad(parent, mode, minimum, maximum, message)
    try:
        if pad.ShowModal() != wx.ID_OK:
            return None
        text = pad.GetValue()
        return int(text) if mode == tov_touch.KEYPAD_MODE_INT else float(text)
    finally:
        pad.Destroy()


SCENARIOS = [
    # (title, mode, minimum, maximum, prompt)
    ("Integer 0 to 100", tov_touch.KEYPAD_MODE_INT, 0, 100, "Conveyor speed (%):"),
    ("Float -10.0 to 10.0", tov_touch.KEYPAD_MODE_FLOAT, -10.0, 10.0, "Offset (mm):"),
    ("Integer, unbounded", tov_touch.KEYPAD_MODE_INT, float("-inf"), float("inf"), None),
    ("Float, at least 0", tov_touch.KEYPAD_MODE_FLOAT, 0, float("inf"), None),
]


class DemoFrame(wx.Frame):
    def __init__(self):
        super().__init__(None, title="tov_touch demo")
        panel = wx.Panel(self)
        sizer = wx.BoxSizer(wx.VERTICAL)
        font = wx.Font(16, wx.FONTFAMILY_DEFAULT, wx.FONTSTYLE_NORMAL, wx.FONTWEIGHT_NORMAL)
        for title, mode, minimum, maximum, prompt in SCENARIOS:
            button = wx.Button(panel, label=title, size=(360, 64))
            button.SetFont(font)
            button.Bind(wx.EVT_BUTTON,
                        lambda event, s=(title, mode, minimum, maximum, prompt): self.ask(*s))
            sizer.Add(button, 0, wx.ALL | wx.EXPAND, 8)
        self.result = wx.StaticText(panel, label="Touch a button.")
        self.result.SetFont(font)
        sizer.Add(self.result, 0, wx.ALL, 12)
        panel.SetSizerAndFit(sizer)
        self.Fit()

    def ask(self, title, mode, minimum, maximum, prompt):
        value = ask_number(self, mode, minimum, maximum, prompt)
        print("%s: %r" % (title, value), flush=True)
        self.result.SetLabel("%s: %r" % (title, value))


# ---- the headless walk-through ---------------------------------------------------------------

def settle(ms):
    """Lets wx and the X server finish drawing for about `ms` milliseconds."""
    end = time.monotonic() + ms / 1000.0
    while time.monotonic() < end:
        wx.GetApp().Yield(True)
        wx.MilliSleep(10)


class Walk(object):
    """Touches keys of the keypad that is open, one step per timer tick."""

    def __init__(self):
        self.sim = wx.UIActionSimulator()
        self.shots = 0

    def touch(self, window):
        x, y, w, h = window.GetScreenRect()
        self.sim.MouseMove(x + w // 2, y + h // 2)
        wx.Yield()
        self.sim.MouseClick(wx.MOUSE_BTN_LEFT)

    def screenshot(self, name, window):
        """PNG of `window` once it has been drawn.

        Read from the window itself: wxGTK's ScreenDC keeps handing out the first image it read.
        """
        window.Refresh()
        window.Update()
        settle(300)
        width, height = window.GetSize()
        bitmap = wx.Bitmap(width, height)
        memory = wx.MemoryDC(bitmap)
        memory.Blit(0, 0, width, height, wx.WindowDC(window), 0, 0)
        memory.SelectObject(wx.NullBitmap)
        self.shots += 1
        path = os.path.join(SCREENSHOTS, "%02d-%s.png" % (self.shots, name))
        bitmap.SaveFile(path, wx.BITMAP_TYPE_PNG)
        print("  screenshot %s" % os.path.relpath(path, ROOT), flush=True)

    def run(self, dialog, steps, timeout_ms=20000):
        """ShowModal() while `steps` (callables taking the dialog) run one per tick."""
        pending = list(steps)
        failure = []

        def tick():
            if not pending:
                return
            try:
                pending.pop(0)(dialog)
            except Exception as exc:  # reported after the loop
                failure.append(exc)
                pending[:] = []
                dialog.EndModal(wx.ID_CANCEL)
                return
            wx.CallLater(STEP_MS, tick)

        def watchdog():
            if dialog.IsModal():
                failure.append(RuntimeError("the keypad did not close"))
                dialog.EndModal(wx.ID_CANCEL)

        wx.CallLater(STEP_MS * 3, tick)
        guard = wx.CallLater(timeout_ms, watchdog)
        result = dialog.ShowModal()
        guard.Stop()
        if failure:
            raise failure[0]
        return result


def key(pad, caption):
    for child in _descendants(pad):
        if isinstance(child, wx.Button) and child.GetLabel() == caption and child.IsShown():
            return child
    raise LookupError("no key %r on the keypad" % caption)


def _descendants(window):
    for child in window.GetChildren():
        yield child
        yield from _descendants(child)


def walk(frame):
    os.makedirs(SCREENSHOTS, exist_ok=True)
    walker = Walk()
    enter = tov_touchui.CONFIRM

    def touches(*captions):
        return [lambda pad, c=c: walker.touch(key(pad, c)) for c in captions]

    def shot(name):
        return lambda pad: walker.screenshot(name, pad)

    def numeric(title, mode, minimum, maximum, prompt, steps):
        pad = tov_touch.DigitKeypad(frame, mode, minimum, maximum, prompt)
        try:
            result = walker.run(pad, steps)
            value = pad.GetValue() if result == wx.ID_OK else None
        finally:
            pad.Destroy()
        if value is not None:
            value = int(value) if mode == tov_touch.KEYPAD_MODE_INT else float(value)
        print("%s -> %r" % (title, value), flush=True)
        return value

    print("integer keypad 0..100: touches 4 2 Enter", flush=True)
    numeric("integer 0..100", tov_touch.KEYPAD_MODE_INT, 0, 100, "Conveyor speed (%):",
            touches("4", "2") + [shot("integer-keypad")] + touches(enter))

    print("float keypad -10..10: touches - 3 . 7 5 Enter", flush=True)
    numeric("float -10..10", tov_touch.KEYPAD_MODE_FLOAT, -10.0, 10.0, "Offset (mm):",
            touches("-", "3", ".", "7", "5") + [shot("float-keypad")] + touches(enter))

    print("integer keypad 0..100: touches 1 5 0 Enter, the range box, then Clear 9 9 Enter",
          flush=True)
    numeric("integer 0..100 after a refused 150", tov_touch.KEYPAD_MODE_INT, 0, 100, None,
            # The box is wx.MessageBox, modal over the keypad: Return dismisses it.
            touches("1", "5", "0", enter) + [lambda pad: settle(300),
                                              lambda pad: walker.sim.Char(wx.WXK_RETURN)]
            + touches(tov_touchui.CLEAR, "9", "9") + [shot("integer-corrected")] + touches(enter))

    print("float keypad, unbounded: touches 1 then Esc", flush=True)
    numeric("float unbounded, cancelled", tov_touch.KEYPAD_MODE_FLOAT, float("-inf"),
            float("inf"), None,
            touches("1") + [shot("float-unbounded"), lambda pad: walker.sim.Char(wx.WXK_ESCAPE)])


# ---- start ------------------------------------------------------------------------------------

def relaunch_under_xvfb():
    xvfb_run = shutil.which("xvfb-run")
    if not xvfb_run:
        sys.exit("demo: no DISPLAY and no xvfb-run (run `make setup`)")
    command = [xvfb_run, "--auto-servernum", "--server-args=-screen 0 1280x1024x24",
               sys.executable, os.path.abspath(__file__), "--walk"]
    sys.exit(subprocess.call(command))


def walk_then_close(frame, status):
    try:
        walk(frame)
    except Exception:
        traceback.print_exc()
        status.append(1)
    finally:
        frame.Close()


def main():
    if not os.environ.get("DISPLAY"):
        relaunch_under_xvfb()
    app = wx.App(False)
    frame = DemoFrame()
    frame.Show()
    status = []
    if "--walk" in sys.argv:
        wx.CallAfter(walk_then_close, frame, status)
    app.MainLoop()
    return status[0] if status else 0


if __name__ == "__main__":
    sys.exit(main())
