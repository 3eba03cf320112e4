"""tov_touch demo: every keypad, the one-call input functions and the control bindings.

With a display it opens the demo window: touch a button to call an input function, or touch a
bound control (double-click a grid cell) to edit it through its keypad; confirmed values are
printed. Without a display (DISPLAY unset), or with --walk, it starts its own Xvfb when needed
and walks through everything with real simulated touches (X events from wx.UIActionSimulator),
saves a screenshot of every keypad it opens under build/screenshots/, prints each returned
value, and exits non-zero if any step failed.
"""
import os
import subprocess
import sys
import time
import traceback

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
SCREENSHOTS = os.path.join(BUILD, "screenshots")
sys.path.insert(0, BUILD)

import wx  # noqa: E402  (after the path set-up)
import wx.grid  # noqa: E402

import tov_touch  # noqa: E402
import tov_touchui  # noqa: E402

sys.path.insert(0, os.path.join(ROOT, "tests"))
import xserver  # noqa: E402  (the private X server the tests use too)

INT, FLOAT = tov_touch.KEYPAD_MODE_INT, tov_touch.KEYPAD_MODE_FLOAT
INF = float("inf")
FONT = dict(pointSize=14, family=wx.FONTFAMILY_DEFAULT, style=wx.FONTSTYLE_NORMAL,
            weight=wx.FONTWEIGHT_NORMAL)


def report(what, value):
    print("%s -> %r" % (what, value), flush=True)


# ---- the demo window ---------------------------------------------------------------------------

class DemoFrame(wx.Frame):
    """Buttons for the input functions on the left, controls bound to keypads on the right."""

    CALLS = [
        ("input_integer 0..100", lambda parent: tov_touch.input_integer(
            parent, 0, 100, "Conveyor speed (%):")),
        ("input_float -10..10", lambda parent: tov_touch.input_float(
            parent, -10.0, 10.0, "Offset (mm):")),
        ("input_text", lambda parent: tov_touch.input_text(parent, message="Batch name:")),
        ("input_password", lambda parent: tov_touch.input_password(parent, "Password:")),
        ("input_digit_password", lambda parent: tov_touch.input_digit_password(parent, "PIN:")),
    ]

    def __init__(self):
        super().__init__(None, title="tov_touch demo", pos=(0, 0))
        panel = self.panel = wx.Panel(self)
        font = wx.Font(**FONT)
        panel.SetFont(font)

        self.buttons = {}
        calls = wx.BoxSizer(wx.VERTICAL)
        for title, call in self.CALLS:
            button = wx.Button(panel, label=title, size=(260, 56))
            button.Bind(wx.EVT_BUTTON, lambda event, t=title, c=call: self.call(t, c))
            calls.Add(button, 0, wx.EXPAND | wx.BOTTOM, 8)
            self.buttons[title] = button
        self.result = wx.StaticText(panel, label="Touch a button or a field.")
        calls.Add(self.result, 0, wx.TOP, 8)

        fields = wx.FlexGridSizer(2, 8, 12)
        fields.AddGrowableCol(1)

        def field(caption, ctrl):
            fields.Add(wx.StaticText(panel, label=caption), 0, wx.ALIGN_CENTER_VERTICAL)
            fields.Add(ctrl, 0, wx.EXPAND)
            return ctrl

        size = (240, -1)
        self.speed = field("Speed (int 0..100)", wx.TextCtrl(panel, value="50", size=size))
        self.offset = field("Offset (float)", wx.StaticText(panel, label="0.0", size=size))
        self.operator = field("Operator", wx.TextCtrl(panel, value="  anna  ", size=size))
        self.password = field("Password", wx.TextCtrl(panel, value="", size=size,
                                                      style=wx.TE_PASSWORD))
        self.note = field("Note", wx.StaticText(panel, label="(none)", size=size))
        tov_touch.DigitKeypadProxy(self.speed, INT, 0, 100)
        tov_touch.DigitKeypadProxy(self.offset, FLOAT)
        tov_touch.AlphaKeypadProxy(self.operator)
        tov_touch.AlphaKeypadProxy(self.password)
        tov_touch.AlphaKeypadProxy(self.note)

        self.setpoints = self._grid(["Set point (0..1000)"], [["12.5"], ["300"], [""]])
        self.batches = self._grid(["Batch"], [["A-17"], [" B-2 "], [""]])
        tov_touch.DigitKeypadProxy(self.setpoints, FLOAT, 0, 1000)
        tov_touch.AlphaKeypadProxy(self.batches)
        grids = wx.BoxSizer(wx.HORIZONTAL)
        grids.Add(self.setpoints, 1, wx.RIGHT, 12)
        grids.Add(self.batches, 1)

        right = wx.BoxSizer(wx.VERTICAL)
        right.Add(fields, 0, wx.EXPAND | wx.BOTTOM, 12)
        right.Add(grids, 1, wx.EXPAND)
        top = wx.BoxSizer(wx.HORIZONTAL)
        top.Add(calls, 0, wx.ALL, 16)
        top.Add(right, 1, wx.EXPAND | wx.ALL, 16)
        panel.SetSizerAndFit(top)
        self.Fit()

    def _grid(self, columns, rows):
        grid = wx.grid.Grid(self.panel)
        grid.CreateGrid(len(rows), len(columns))
        grid.SetDefaultRowSize(40, True)
        for col, title in enumerate(columns):
            grid.SetColLabelValue(col, title)
            grid.SetColSize(col, 200)
        for row, values in enumerate(rows):
            for col, value in enumerate(values):
                grid.SetCellValue(row, col, value)
        grid.EnableEditing(False)  # the keypad edits, not the grid's own editor
        return grid

    def call(self, title, call):
        value = call(self)
        report(title, value)
        self.result.SetLabel("%s: %r" % (title, value))
        self.panel.Layout()


# ---- the headless walk-through -----------------------------------------------------------------

def settle(ms):
    """Lets wx and the X server process and draw for about `ms` milliseconds."""
    end = time.monotonic() + ms / 1000.0
    while time.monotonic() < end:
        wx.GetApp().Yield(True)
        wx.MilliSleep(10)


def screenshot(name, window):
    """PNG of `window` once drawn, numbered in the order of the walk."""
    screenshot.count += 1
    save_png(window, os.path.join(SCREENSHOTS, "%02d-%s.png" % (screenshot.count, name)))


def save_png(window, path):
    """PNG of `window` once drawn, read from the window itself (wxGTK's ScreenDC keeps handing
    out the first image it read)."""
    window.Refresh()
    window.Update()
    settle(250)
    width, height = window.GetSize()
    bitmap = wx.Bitmap(width, height)
    memory = wx.MemoryDC(bitmap)
    memory.Blit(0, 0, width, height, wx.WindowDC(window), 0, 0)
    memory.SelectObject(wx.NullBitmap)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    bitmap.SaveFile(path, wx.BITMAP_TYPE_PNG)
    print("  screenshot %s" % os.path.relpath(path, ROOT), flush=True)


screenshot.count = 0


def open_dialog():
    """The modal keypad that is open now."""
    for window in wx.GetTopLevelWindows():
        if isinstance(window, wx.Dialog) and window.IsModal():
            return window
    raise LookupError("no keypad is open")


def key_on(window, caption):
    for child in window.GetChildren():
        if (isinstance(child, (tov_touchui.TouchKey, wx.Button)) and child.GetLabel() == caption
                and child.IsShownOnScreen()):
            return child
        try:
            return key_on(child, caption)
        except LookupError:
            pass
    raise LookupError("no key %r in view" % caption)


def modal_dialogs():
    return frozenset(id(w) for w in wx.GetTopLevelWindows()
                     if isinstance(w, wx.Dialog) and w.IsModal())


class Walk(object):
    """Runs steps one per timer tick, from the main loop and from inside modal loops alike.

    A touch that opens a keypad makes the step that lets wx process it (usually a pause) block
    in the keypad's modal loop; the ticks then go on inside that loop. A tick that arrives while
    a step is merely busy (drawing, settling) waits for it instead, so steps never interleave.
    """

    STEP_MS = 150

    def __init__(self, frame, steps, timeout_s=180):
        self.frame, self.steps, self.failed = frame, list(steps), False
        self.sim = wx.UIActionSimulator()
        self.deadline = time.monotonic() + timeout_s
        self.running = []  # for each step in progress: the modal dialogs open when it began
        wx.CallLater(500, self.tick)

    def tick(self):
        if time.monotonic() > self.deadline:
            return self.abort("the walk took too long")
        if self.running and self.running[-1] == modal_dialogs():
            wx.CallLater(self.STEP_MS, self.tick)
            return
        if not self.steps:
            self.frame.Close()
            return
        wx.CallLater(self.STEP_MS, self.tick)
        step = self.steps.pop(0)
        self.running.append(modal_dialogs())
        try:
            step(self)
        except Exception:
            traceback.print_exc()
            self.abort("step failed")
        finally:
            self.running.pop()

    def abort(self, why):
        print("demo: %s" % why, flush=True)
        self.failed, self.steps = True, []
        for window in wx.GetTopLevelWindows():
            if isinstance(window, wx.Dialog) and window.IsModal():
                window.EndModal(wx.ID_CANCEL)
        wx.CallLater(self.STEP_MS, self.frame.Close)

    def move_to(self, window, where=None):
        x, y, w, h = window.GetScreenRect() if where is None else where
        self.sim.MouseMove(x + w // 2, y + h // 2)
        settle(30)

    def touch(self, window):
        self.move_to(window)
        self.sim.MouseClick(wx.MOUSE_BTN_LEFT)

    def double_click_cell(self, grid, row, col):
        rect = grid.CellToRect(row, col)
        x, y = grid.GetGridWindow().ClientToScreen(grid.CalcScrolledPosition(rect.x, rect.y))
        self.move_to(None, (x, y, rect.width, rect.height))
        self.sim.MouseDblClick(wx.MOUSE_BTN_LEFT)


# Steps: each is a callable taking the Walk.
def say(text):
    return lambda walk: print(text, flush=True)


def touch(find):
    return lambda walk: walk.touch(find(walk))


def keys(*captions):
    return [touch(lambda walk, c=c: key_on(open_dialog(), c)) for c in captions]


def shot(name, find=lambda walk: open_dialog()):
    return lambda walk: screenshot(name, find(walk))


def pause(ms):
    return lambda walk: settle(ms)


def show_value(what, read):
    return lambda walk: report(what, read(walk.frame))


def keypad_attr(name):
    return touch(lambda walk: getattr(open_dialog(), name))


def walk_steps():
    frame = lambda walk: walk.frame  # noqa: E731
    button = lambda title: touch(lambda walk: walk.frame.buttons[title])  # noqa: E731
    confirm = keys(tov_touchui.caption("confirm"))
    return [
        say("input_integer 0..100: touch 4 2, confirm"),
        button("input_integer 0..100"), pause(200), *keys("4", "2"),
        shot("input-integer"), *confirm,

        say("input_float -10..10: touch - 3 . 7 5, confirm"),
        button("input_float -10..10"), pause(200), *keys("-", "3", ".", "7", "5"),
        shot("input-float"), *confirm,

        say("input_integer 0..100: touch 1 5 0, confirm: the range box; Return, clear, 9 9"),
        button("input_integer 0..100"), pause(200), *keys("1", "5", "0"), *confirm,
        pause(300), lambda walk: walk.sim.Char(wx.WXK_RETURN), pause(200),
        *keys(tov_touchui.caption("clear"), "9", "9"), *confirm,

        say("speed field (DigitKeypadProxy, int 0..100): touch it, clear, 7 5, confirm"),
        touch(lambda walk: walk.frame.speed), pause(200), shot("proxy-prefilled"),
        *keys(tov_touchui.caption("clear"), "7", "5"), *confirm, pause(200),
        show_value("speed field", lambda f: f.speed.GetValue()),

        say("offset label (DigitKeypadProxy, float): touch it, - . 5, confirm"),
        touch(lambda walk: walk.frame.offset), pause(200), *keys(tov_touchui.caption("clear"), "-", ".", "5"),
        *confirm, pause(200), show_value("offset label", lambda f: f.offset.GetLabel()),

        say("set point grid (DigitKeypadProxy): double-click row 2, type 8 8 0, confirm"),
        lambda walk: walk.double_click_cell(walk.frame.setpoints, 2, 0), pause(200),
        *keys("8", "8", "0"), shot("grid-keypad"), *confirm, pause(200),
        show_value("set point cell (2, 0)", lambda f: f.setpoints.GetCellValue(2, 0)),

        say("operator field (AlphaKeypadProxy): touch it, clear, Caps B caps o b, Shift ! , OK"),
        touch(lambda walk: walk.frame.operator), pause(200), shot("keyboard-prefilled"),
        keypad_attr("ui_clear"), keypad_attr("ui_caps_lock_on"), pause(100),
        shot("keyboard-caps"), *keys("B"), keypad_attr("ui_caps_lock_off"), pause(100),
        *keys("o", "b"),
        keypad_attr("ui_shift_0"), pause(100), shot("keyboard-shifted"), *keys("!"),
        keypad_attr("ui_shift_0"), keypad_attr("ui_ok"), pause(200),
        show_value("operator field", lambda f: f.operator.GetValue()),

        say("password field (AlphaKeypadProxy on TE_PASSWORD): touch it, p 4 s s, OK"),
        touch(lambda walk: walk.frame.password), pause(200), *keys("p", "4", "s", "s"),
        shot("keyboard-password"), keypad_attr("ui_ok"), pause(200),
        show_value("password field", lambda f: f.password.GetValue()),

        say("batch grid (AlphaKeypadProxy): double-click row 1, Space 9, OK"),
        lambda walk: walk.double_click_cell(walk.frame.batches, 1, 0), pause(200),
        *keys("Space", "9"), keypad_attr("ui_ok"), pause(200),
        show_value("batch cell (1, 0)", lambda f: f.batches.GetCellValue(1, 0)),
        shot("written-back", frame),

        say("input_text: type o k Space Space, OK"),
        button("input_text"), pause(200), *keys("o", "k", "Space", "Space"),
        shot("input-text"), keypad_attr("ui_ok"),

        *chinese_steps(button),

        say("input_digit_password: 0 4 7 0, confirm"),
        button("input_digit_password"), pause(200), *keys("0", "4", "7", "0"),
        shot("digit-password"), *confirm,

        say("input_float: touch 1, then Esc"),
        button("input_float -10..10"), pause(200), *keys("1"),
        lambda walk: walk.sim.Char(wx.WXK_ESCAPE), pause(200),
    ]


def chinese_steps(button):
    """input_text in the pinyin layout: n i h a o, the candidate 你好, OK."""
    from tov_touchui import composing
    if not composing.available("pinyin"):
        return [say("pinyin: skipped, tov_pinyin is not built here (libgooglepinyin0-dev)")]
    return [
        say("input_text, pinyin layout: n i h a o, the candidate 你好, OK"),
        lambda walk: tov_touchui.set_layout("pinyin"),
        button("input_text"), pause(200), *keys("n", "i", "h", "a", "o"),
        shot("pinyin-candidates"), *keys("你好"), shot("pinyin-typed"), keypad_attr("ui_ok"),
        lambda walk: tov_touchui.set_layout(None),
    ]


# ---- start --------------------------------------------------------------------------------------

def relaunch_under_xvfb():
    """Runs the walk-through in a child process on a private Xvfb (one that never resets under
    it), and exits with its status."""
    os.makedirs(BUILD, exist_ok=True)
    try:
        with xserver.xvfb(1280, 1024, log_path=os.path.join(BUILD, "demo-xvfb.log")) as display:
            status = subprocess.call([sys.executable, os.path.abspath(__file__), "--walk"],
                                     env=dict(os.environ, DISPLAY=display))
    except xserver.DisplayError as error:
        sys.exit("demo: %s" % error)
    sys.exit(status)


def main():
    if not os.environ.get("DISPLAY") and wx.Platform == "__WXGTK__":  # X11 without a screen
        relaunch_under_xvfb()
    app = wx.App(False)
    frame = DemoFrame()
    frame.Show()
    walk = None
    if "--walk" in sys.argv:
        os.makedirs(SCREENSHOTS, exist_ok=True)
        walk = Walk(frame, walk_steps())
    app.MainLoop()
    if walk is None:
        return 0
    if walk.failed:
        return 1
    print("gallery: every keypad at 800x480, and at 1024x600 in the dark and high-contrast "
          "themes", flush=True)
    import gallery
    return gallery.main()


if __name__ == "__main__":
    sys.exit(main())
