"""Binds keypads to the controls of a real wxPython application from Debian's archive, as an
integrator would, and types into each by touch: prints, as JSON, for every control whether the
application's own handlers got the value and whether the keypad kept clear of the control.

Run as: python3 app_child.py pronterface|chirp (with DISPLAY set, a window manager running on
it, HOME pointing at a scratch folder and the module on PYTHONPATH).
"""
import json
import os
import sys

import wx
import wx.grid

import tov_touch
import tov_touchui
from gui import find_button, flush_events, press

SETTLE_MS = 400


def pronterface():
    """The 3D printer host: feed rates in spin controls, a command box that sends on Enter."""
    sys.argv = ["pronterface"]
    from printrun.pronterface import PronterApp
    app = PronterApp(False)
    window = app.mainwindow
    sent = []
    window.onecmd = lambda line: sent.append(line)  # no printer: keep what would be sent
    tov_touch.DigitKeypadProxy(window.xyfeedc)
    tov_touch.DigitKeypadProxy(window.zfeedc)
    tov_touch.AlphaKeypadProxy(window.commandbox)
    return app, window, [
        ("XY feed rate", window.xyfeedc, "4500", lambda: window.settings.xy_feedrate == 4500),
        ("Z feed rate", window.zfeedc, "250", lambda: window.settings.z_feedrate == 250),
        ("command", window.commandbox, "m114",
         lambda: sent == ["m114"] and window.commandbox.GetValue() == ""),
    ]


def chirp():
    """The radio programmer: a grid of memories whose cells it checks and stores as edited."""
    from chirp import directory
    from chirp.wxui import main
    directory.safe_import_drivers()
    app = wx.App(False)
    window = main.ChirpMain(None, title="CHIRP")
    window.Show()
    window.open_file("Untitled.csv", exists=False)
    flush_events(500)
    editor = window.current_editorset.current_editor
    grid = editor._grid
    frequency = next(col for col in range(grid.GetNumberCols())
                     if grid.GetColLabelValue(col) == "Frequency")
    name = next(col for col in range(grid.GetNumberCols())
                if grid.GetColLabelValue(col) == "Name")

    def stored(row):
        return editor._radio.get_memory(editor.row2mem(row))

    grid.EnableEditing(False)  # the keypads are the cells' editors
    # One grid, two keypads: the integrator picks one by column.
    unused = wx.PyEventBinder(wx.NewEventType())
    numbers = tov_touch.DigitKeypadProxy(grid, tov_touch.KEYPAD_MODE_FLOAT, event=unused)
    texts = tov_touch.AlphaKeypadProxy(grid, event=unused)
    grid.Bind(wx.grid.EVT_GRID_CELL_LEFT_DCLICK,
              lambda event: (numbers if event.GetCol() == frequency else texts)
              .event_handler(event))
    return app, window, [
        ("frequency", (grid, 2, frequency), "146.52", lambda: stored(2).freq == 146520000),
        ("name", (grid, 3, name), "relay", lambda: stored(3).name.strip().lower() == "relay"),
    ]


APPLICATIONS = {"pronterface": pronterface, "chirp": chirp}


def screen_rect(target):
    if not isinstance(target, tuple):
        return target.GetScreenRect()
    grid, row, col = target
    grid.MakeCellVisible(row, col)
    rect = grid.CellToRect(row, col)
    cells = grid.GetGridWindow()
    return wx.Rect(cells.ClientToScreen(grid.CalcScrolledPosition(rect.GetPosition())),
                   rect.GetSize())


def open_keypad():
    return next((w for w in wx.GetTopLevelWindows()
                 if isinstance(w, (tov_touch.DigitKeypad, tov_touch.AlphaKeypad))
                 and w.IsModal()), None)


class Drive(object):
    def __init__(self, window, steps):
        self.window, self.steps, self.report = window, steps, {"controls": []}
        wx.CallLater(1000, self.start)

    def start(self):
        # From here on, what is printed is printed while the keypads are used.
        self.printed = open(os.path.join(os.environ["HOME"], "printed.txt"), "w+")
        sys.stderr.flush()
        os.dup2(self.printed.fileno(), 2)
        self.touch(0)

    def touch(self, index, again=False):
        if index == len(self.steps):
            self.printed.seek(0)
            self.report["printed"] = self.printed.read()
            print(json.dumps(self.report))
            sys.stdout.flush()
            os._exit(0)  # the applications' own shutdown is not under test
        target = self.steps[index][1]
        where = screen_rect(target)
        flush_events(100)
        sim = wx.UIActionSimulator()
        sim.MouseMove(where.x + where.width // 2, where.y + where.height // 2)
        flush_events(50)
        wx.CallLater(SETTLE_MS, self.type_in, index, where, again)
        if isinstance(target, tuple):
            sim.MouseDblClick()
        else:
            sim.MouseClick()

    def type_in(self, index, where, again, waited=0):
        keypad = open_keypad()
        if keypad is None and waited < 3000:
            wx.CallLater(100, self.type_in, index, where, again, waited + 100)
            return
        if keypad is None and not again:
            self.touch(index, again=True)  # as an operator touches again when nothing opened
            return
        name, target, typed, check = self.steps[index]
        entry = {"control": name, "opened": keypad is not None, "touches": 2 if again else 1}
        if keypad is not None:
            entry["clear"] = not keypad.GetScreenRect().Intersects(where)
            keypad.set_value("")
            for char in typed:
                press(find_button(keypad, char))
            press(find_button(keypad, tov_touchui.caption("confirm")))
        self.report["controls"].append(entry)
        wx.CallLater(SETTLE_MS * 2, self.checked, index, entry)

    def checked(self, index, entry):
        entry["heard"] = bool(self.steps[index][3]())
        self.touch(index + 1)


def main():
    app, window, steps = APPLICATIONS[sys.argv[1]]()
    window.Maximize()
    Drive(window, steps)
    app.MainLoop()


if __name__ == "__main__":
    main()
