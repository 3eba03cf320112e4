"""An application closes down under an open keypad: it destroys every top-level window while
the keypad is modal, with a key held down, a row of alternatives open, or the numeric keypad's
error box over it (which the operator answers after the windows went).

Run as: python3 teardown_child.py CONTROL STATE ORDER (DISPLAY set, the module on PYTHONPATH).
CONTROL is the control whose touch opens the keypad (see CONTROLS), STATE what the finger is
doing when the windows go (see STATES), ORDER the order they are destroyed in ("listed": as
wx.GetTopLevelWindows() lists them, the screen first; "reversed": the keypad first). Prints
"opened" once the keypad is up and "ended" when the main loop is over; the exit code is 0 then.
"""
import sys

import wx
import wx.grid

import tov_touch
import tov_touchui

def text_control(style, proxy_class):
    def make(screen):
        ctrl = wx.TextCtrl(screen, value="7", style=style, pos=(20, 20), size=(200, 40))
        proxy_class(ctrl)
        return ctrl
    return make


def grid(screen):
    ctrl = wx.grid.Grid(screen, pos=(20, 20), size=(300, 200))
    ctrl.CreateGrid(3, 3)
    tov_touch.DigitKeypadProxy(ctrl)
    return ctrl


def pin_button(screen):
    """A button whose handler asks for a PIN with input_digit_password()."""
    ctrl = wx.Button(screen, label="PIN", pos=(20, 20), size=(200, 40))
    ctrl.Bind(wx.EVT_BUTTON, lambda event: tov_touch.input_digit_password(screen))
    return ctrl


CONTROLS = {
    "password": text_control(wx.TE_PASSWORD, tov_touch.AlphaKeypadProxy),
    "read-only": text_control(wx.TE_READONLY, tov_touch.AlphaKeypadProxy),
    "numeric": text_control(0, tov_touch.DigitKeypadProxy),
    "grid": grid,
    "pin-button": pin_button,
}


def backspace(keypad):
    return keypad.ui_backspace


def letter_with_alternatives(keypad):
    """A shown letter key that offers alternatives when held ("e" in the Latin layouts); ⌫ on
    the digit keypads, which have none."""
    for row in range(3 if hasattr(keypad, "ui_caps_off_0") else 0):
        for key in getattr(keypad, "ui_caps_off_%d" % row).GetChildren():
            if getattr(key, "_alternatives", ""):
                return key
    return backspace(keypad)


def at_centre(window):
    x, y, w, h = window.GetScreenRect()
    return x + w // 2, y + h // 2


# What goes on in the keypad when the windows go. Each takes the keypad and the simulator, sets
# it going and returns how many ms it needs; the windows go then.
def idle(keypad, sim):
    return 100


def holding(choose_key):
    """A key held down past the delay after which ⌫ repeats and a letter offers its
    alternatives; the finger lifts after the windows went."""
    def hold(keypad, sim):
        sim.MouseMove(at_centre(choose_key(keypad)))
        wx.CallLater(50, sim.MouseDown, wx.MOUSE_BTN_LEFT)
        return 50 + tov_touchui.keys.HOLD_MS + 300
    return hold


def error_box(keypad, sim):
    """Enter on an empty numeric field: the keypad's error box, answered after the windows
    went (with the focus it has under a window manager)."""
    keypad.mValueField.SetValue("")
    sim.MouseMove(at_centre(keypad.m_button16))
    wx.CallLater(50, sim.MouseClick, wx.MOUSE_BTN_LEFT)
    wx.CallLater(800, sim.Char, wx.WXK_RETURN)
    return 500


STATES = {
    "idle": idle,
    "backspace-held": holding(backspace),
    "alternatives-open": holding(letter_with_alternatives),
    "error-box-open": error_box,
}


def main(control, state, order):
    app = wx.App(False)
    screen = wx.Frame(None, title="screen", pos=(0, 0), size=(400, 300))
    ctrl = CONTROLS[control](screen)
    screen.Show()
    sim = wx.UIActionSimulator()
    sim.MouseUp(wx.MOUSE_BTN_LEFT)  # a finger left down by an earlier run is lifted

    def touch_control():
        if isinstance(ctrl, wx.grid.Grid):
            x, y, w, h = ctrl.CellToRect(1, 1)
            sim.MouseMove(ctrl.GetGridWindow().ClientToScreen((x + w // 2, y + h // 2)))
            sim.MouseDblClick(wx.MOUSE_BTN_LEFT)
        else:
            sim.MouseMove(at_centre(ctrl))
            sim.MouseClick(wx.MOUSE_BTN_LEFT)
        wx.CallLater(100, wait_for_keypad)

    def wait_for_keypad():
        keypad = next((w for w in wx.GetTopLevelWindows()
                       if isinstance(w, wx.Dialog) and w.IsModal()), None)
        if keypad is None:
            wx.CallLater(50, wait_for_keypad)
            return
        print("opened", flush=True)
        wx.CallLater(STATES[state](keypad, sim), destroy_everything)

    def destroy_everything():
        windows = list(wx.GetTopLevelWindows())
        if order == "reversed":
            windows.reverse()
        for window in windows:
            window.Destroy()
        wx.CallLater(50, sim.MouseUp, wx.MOUSE_BTN_LEFT)

    wx.CallLater(300, touch_control)
    app.MainLoop()
    sim.MouseUp(wx.MOUSE_BTN_LEFT)  # the X server is shared: no finger is left down on it
    print("ended", flush=True)


if __name__ == "__main__":
    main(*sys.argv[1:4])
