"""Touches bound controls near every edge of a full-screen application window under a real
window manager, one after another, and prints as JSON where each keypad opened; then minimizes
an open keypad through the window manager and reports whether it and its application came
back.

Run as: python3 wm_child.py TOUCHES (with DISPLAY set, a window manager running on it and the
module on PYTHONPATH).
"""
import json
import subprocess
import sys

import wx
import wx.grid

import tov_touch
from gui import flush_events
from xserver import native_environment

SETTLE_MS = 400  # the window manager has framed and placed a mapped window by then


def build():
    frame = wx.Frame(None, title="application")
    panel = wx.Panel(frame)
    frame.Show()
    frame.Maximize()
    flush_events(SETTLE_MS)
    width, height = panel.GetClientSize()
    fields = []
    for x in (8, width // 2 - 60, width - 128):
        for y in (8, height - 48):
            fields.append(wx.TextCtrl(panel, pos=(x, y), size=(120, 40), value="12"))
    grid = wx.grid.Grid(panel, pos=(width // 2 - 150, height // 2 - 60), size=(300, 120))
    grid.CreateGrid(3, 3)
    grid.EnableEditing(False)  # the keypad is the cell's editor
    pin = wx.Button(panel, label="PIN", pos=(8, height // 2 - 20), size=(100, 40))
    pin.Bind(wx.EVT_BUTTON, lambda event: tov_touch.input_digit_password(frame))
    for index, field in enumerate(fields):
        (tov_touch.DigitKeypadProxy if index % 2 else tov_touch.AlphaKeypadProxy)(field)
    tov_touch.DigitKeypadProxy(grid, tov_touch.KEYPAD_MODE_FLOAT)
    targets = [(field, None) for field in fields] + [(pin, None), (grid, (1, 1)), (grid, (2, 0))]
    return frame, targets


def target_rect(window, cell):
    if cell is None:
        return window.GetScreenRect()
    rect = window.CellToRect(*cell)
    corner = window.GetGridWindow().ClientToScreen(window.CalcScrolledPosition(rect.GetPosition()))
    return wx.Rect(corner, rect.GetSize())


def x_window(dialog):
    """The dialog's client area as the X server has it (not as wx believes it is): its
    rectangle, and whether it is viewable."""
    info = subprocess.run(["xwininfo", "-id", str(dialog.GetHandle())], stdout=subprocess.PIPE,
                          universal_newlines=True, env=native_environment(), timeout=10).stdout
    value = {line.split(":")[0].strip(): line.split(":")[1].strip()
             for line in info.splitlines() if ":" in line}
    rect = [int(value["Absolute upper-left X"]), int(value["Absolute upper-left Y"]),
            int(value["Width"]), int(value["Height"])]
    return rect, value["Map State"] == "IsViewable"

def when_mapped(then, waited_ms=0, last=None):
    """Calls then(dialog) once a modal keypad is open and on screen, and the window manager
    has had time to frame and place it (its rectangle held still for a poll); then(None) when
    none is after 10 s."""
    # Not the X server: a window manager may hold it grabbed until this loop answers it.
    dialog = open_keypad()
    rect = list(dialog.GetScreenRect()) if dialog is not None and dialog.IsShownOnScreen() \
        else None
    if rect is not None and rect == last:
        wx.CallLater(SETTLE_MS, then, dialog)
    elif waited_ms > 10000:
        then(None)
    else:
        wx.CallLater(100, when_mapped, then, waited_ms + 100, rect)


def open_keypad():
    return next((w for w in wx.GetTopLevelWindows()
                 if isinstance(w, wx.Dialog) and w.IsModal()), None)


class Run(object):
    def __init__(self, touches):
        self.frame, self.targets = build()
        self.touches = touches
        self.report = {"area": list(wx.Display(0).GetClientArea()), "touches": []}
        wx.CallLater(100, self.touch, 0)

    def touch(self, index):
        if index == self.touches:
            wx.CallLater(100, self.minimize_one)
            return
        window, cell = self.targets[index % len(self.targets)]
        where = target_rect(window, cell)
        sim = wx.UIActionSimulator()
        sim.MouseMove(where.x + where.width // 2, where.y + where.height // 2)
        flush_events(50)
        wx.CallLater(100, when_mapped, lambda dialog: self.measure(dialog, index, list(where)))
        if cell is None:
            sim.MouseClick()
        else:
            sim.MouseDblClick()

    def measure(self, dialog, index, touched):
        if dialog is not None:
            self.report["touches"].append({
                "touched": touched, "kind": type(dialog).__name__,
                "frame": list(dialog.GetScreenRect()), "client": x_window(dialog)[0]})
            dialog.EndModal(wx.ID_CANCEL)
        else:
            self.report["touches"].append({"touched": touched, "kind": None})
        wx.CallLater(200, self.touch, index + 1)

    def minimize_one(self):
        window, _ = self.targets[1]
        where = window.GetScreenRect()
        wx.UIActionSimulator().MouseMove(where.x + 10, where.y + 10)
        flush_events(50)
        wx.CallLater(100, when_mapped, self.iconify)
        wx.UIActionSimulator().MouseClick()

    def iconify(self, dialog):
        if dialog is None:
            self.report["minimized"] = None
            self.finish()
            return
        title = "keypad-under-test"
        dialog.SetTitle(title)
        flush_events(100)
        subprocess.run(["xdotool", "search", "--name", title, "windowminimize"],
                       env=native_environment())
        wx.CallLater(SETTLE_MS * 2, self.came_back, dialog)

    def came_back(self, dialog):
        self.report["minimized"] = {
            "application_iconized": self.frame.IsIconized(),
            "keypad_iconized": dialog.IsIconized(),
            "keypad_viewable": x_window(dialog)[1]}
        dialog.EndModal(wx.ID_CANCEL)
        wx.CallLater(100, self.finish)

    def finish(self):
        print(json.dumps(self.report))
        self.frame.Destroy()


def main():
    app = wx.App(False)
    Run(int(sys.argv[1]))
    app.MainLoop()


if __name__ == "__main__":
    main()
