"""Helpers for driving real wx dialogs from tests.

Modal loops are ended from timers: every `run_modal` arms a watchdog that closes the dialog with
`WATCHDOG_CODE` if the scripted actions did not end it, so a stuck dialog fails a test quickly
instead of hanging the run.
"""
import time

import wx

import tov_touchui

# What the forms make their keys of: drawn touch keys (native buttons, for other dialogs).
KEY_TYPES = (tov_touchui.TouchKey, wx.Button)

WATCHDOG_CODE = -424242
STEP_MS = 30


def press(button):
    """Fire the button's EVT_BUTTON exactly as a touch would, through its own event handler."""
    event = wx.CommandEvent(wx.wxEVT_BUTTON, button.GetId())
    event.SetEventObject(button)
    button.GetEventHandler().ProcessEvent(event)


def run_modal(dialog, *actions, timeout_ms=5000):
    """Show `dialog` modally, run `actions` one after another from timers, return ShowModal().

    Each action is a callable; the last one normally ends the loop (EndModal, a press on OK...).
    An exception raised inside an action is re-raised here after the loop has ended.
    """
    errors = []
    pending = list(actions)

    def step():
        if not pending or not dialog.IsModal():
            return
        action = pending.pop(0)
        try:
            action()
        except BaseException as exc:  # re-raised below, once the loop is over
            errors.append(exc)
            if dialog.IsModal():
                dialog.EndModal(WATCHDOG_CODE)
            return
        wx.CallLater(STEP_MS, step)

    def watchdog():
        if dialog.IsModal():
            errors.append(AssertionError("modal loop still running after %d ms" % timeout_ms))
            dialog.EndModal(WATCHDOG_CODE)

    wx.CallLater(STEP_MS, step)
    guard = wx.CallLater(timeout_ms, watchdog)
    try:
        result = dialog.ShowModal()
    finally:
        guard.Stop()
    if errors:
        raise errors[0]
    return result


def end_modal(dialog, code):
    return lambda: dialog.EndModal(code)


def flush_events(ms=50):
    """Let wx process pending events (layout, paint, simulated input) for about `ms`."""
    # wxPython 4 has no wx.GetLocalTimeMillis; a monotonic clock is what the loop needs anyway.
    end = time.monotonic() + ms / 1000.0
    while time.monotonic() < end:
        wx.GetApp().Yield(True)
        wx.MilliSleep(5)


def click(window):
    """A real left click (X events through UIActionSimulator) at the centre of `window`."""
    x, y, w, h = window.GetScreenRect()
    sim = wx.UIActionSimulator()
    sim.MouseMove(x + w // 2, y + h // 2)
    flush_events(30)
    sim.MouseClick(wx.MOUSE_BTN_LEFT)
    flush_events(60)


def _mouse(key, kind):
    surface = key.GetParent()
    x, y, width, height = key.GetRect()
    event = wx.MouseEvent(kind)
    event.SetEventObject(surface)
    event.SetPosition(wx.Point(x + width // 2, y + height // 2))
    surface.GetEventHandler().ProcessEvent(event)


def tap(key):
    """A touch on a key, down and up at its centre, as the mouse events of the surface it lies
    on: what the X events of click() become, without their round trips (for many keys in a
    row)."""
    _mouse(key, wx.wxEVT_LEFT_DOWN)
    _mouse(key, wx.wxEVT_LEFT_UP)


def hold_and_tap(key, label):
    """A touch held on `key` until its alternatives show, lifted, then a tap on the
    alternative `label`."""
    from tov_touchui.keys import Alternatives
    _mouse(key, wx.wxEVT_LEFT_DOWN)
    key.GetParent()._hold_timer.Notify()  # the hold's time is up
    _mouse(key, wx.wxEVT_LEFT_UP)
    tap(next(k for k in Alternatives._open.choices() if k.GetLabel() == label))
    flush_events(5)  # the offer closes


def find_key(keyboard, char):
    """(panel, key, alternative or None) that types `char` in the layout in view."""
    letters = [getattr(keyboard, "ui_caps_%s_%d" % (state, row)) for state in ("on", "off")
               for row in range(3)]
    if tov_touchui.LAYOUTS[keyboard.layout_name()].get("engine"):
        letters = letters[:3]  # the lower-case letters compose Chinese
    for held in (False, True):
        for panel in [keyboard.no_Shift, keyboard.Shift] + letters:
            for key in panel.GetChildren():
                if not held and key.GetLabel() == char:
                    return panel, key, None
                if held and char in key._alternatives:
                    return panel, key, char
    return None


def turn_to(keyboard, window):
    """Turns the narrow screen's pages until `window` is in view."""
    for _ in range(4):
        if window.IsShownOnScreen():
            return
        tap(keyboard.ui_page)
    assert window.IsShownOnScreen()


def bring_up(keyboard, panel):
    """Page, shift and caps as they must be for `panel` to be in view."""
    symbols = panel in (keyboard.Shift, keyboard.no_Shift)
    if symbols and keyboard.shift != (panel is keyboard.Shift):
        turn_to(keyboard, keyboard.ui_shift_0)
        tap(keyboard.ui_shift_0)
    if not symbols and not panel.IsShown():
        caps = keyboard.ui_caps_lock_on if keyboard.ui_caps_off_2.IsShown() \
            else keyboard.ui_caps_lock_off
        turn_to(keyboard, caps)
        tap(caps)
    turn_to(keyboard, panel)


def type_by_touch(keyboard, text):
    """Types `text` on the text keyboard by touching its keys: each character's key, or the key
    that offers it when held, with the page, shift, caps and layout keys on the way."""
    home = keyboard.layout_name()
    for char in text:
        if char == " ":
            tap(keyboard.ui_space)
            continue
        found = find_key(keyboard, char)
        if found is None:  # Latin letters of Russian and Greek: behind the layout key
            tap(keyboard.ui_layout)
            found = find_key(keyboard, char)
            assert found is not None, (home, char)
        panel, key, alternative = found
        bring_up(keyboard, panel)
        if alternative:
            hold_and_tap(key, alternative)
        else:
            tap(key)
        if keyboard.layout_name() != home:
            tap(keyboard.ui_layout)
    flush_events(50)


def touch_down(window):
    """A real left press (an X event) at the centre of `window`, not yet released: move the
    returned simulator and call lift() to end the touch."""
    x, y, w, h = window.GetScreenRect()
    sim = wx.UIActionSimulator()
    sim.MouseMove(x + w // 2, y + h // 2)
    flush_events(30)
    sim.MouseDown(wx.MOUSE_BTN_LEFT)
    return sim


def slide_to(sim, window):
    x, y, w, h = window.GetScreenRect()
    sim.MouseMove(x + w // 2, y + h // 2)
    flush_events(60)


def lift(sim):
    sim.MouseUp(wx.MOUSE_BTN_LEFT)
    flush_events(100)


def find_button(parent, label):
    """The first shown key under `parent` whose label is `label`."""
    for child in _walk(parent):
        if isinstance(child, KEY_TYPES) and child.GetLabel() == label and child.IsShownOnScreen():
            return child
    raise LookupError("no visible button labelled %r" % label)


def _walk(window):
    for child in window.GetChildren():
        yield child
        yield from _walk(child)


def candidate(text):
    """A script step: a real click on the composing keyboard's candidate `text`, paging on
    until it is in view."""
    def touch(keyboard):
        for _ in range(20):
            keys = [k for k in keyboard._candidate_keys if k.GetLabel() == text]
            if keys:
                return click(keys[0])
            click(keyboard.ui_next)
        raise LookupError("no candidate %r" % text)
    return touch


def type_keys(window, *keys):
    """Real keystrokes (X events through UIActionSimulator) into the top-level `window`.

    Each key is a wx key code (wx.WXK_RETURN, ord("7")...) or a str typed with Text(), which
    adds Shift where the US layout needs it. Without a window manager the X focus follows the
    pointer, so the pointer is parked just inside the window's top-left corner first.
    """
    x, y, _, _ = window.GetScreenRect()
    sim = wx.UIActionSimulator()
    sim.MouseMove(x + 4, y + 4)
    flush_events(30)
    for key in keys:
        if isinstance(key, str):
            sim.Text(key.encode("ascii"))
        else:
            sim.Char(key)
        flush_events(30)


class WhenModal(object):
    """Scripts a modal dialog that the code under test creates and shows itself.

    Arm it before the call that opens the dialog: timers wait for a shown modal instance of
    `dialog_class`, then run `actions` (callables taking the dialog) one per tick. A dialog still
    open `timeout_ms` after arming is ended with WATCHDOG_CODE. `check()` re-raises the first
    failure of an action, of the watchdog, or a dialog that never appeared.
    """

    def __init__(self, dialog_class, *actions, timeout_ms=5000):
        self.dialog_class = dialog_class
        self.dialog = None
        self.errors = []
        self._pending = list(actions)
        self._deadline = time.monotonic() + timeout_ms / 1000.0
        wx.CallLater(STEP_MS, self._tick)

    def _tick(self):
        if self.dialog is None:
            self.dialog = next((w for w in wx.GetTopLevelWindows()
                                if isinstance(w, self.dialog_class) and w.IsModal()), None)
        if self.dialog is None:
            if time.monotonic() > self._deadline:
                self.errors.append(AssertionError("no modal %s appeared"
                                                  % self.dialog_class.__name__))
            else:
                wx.CallLater(STEP_MS, self._tick)
            return
        try:
            still_open = self.dialog.IsModal()
        except RuntimeError:  # destroyed: the script is over
            return
        if not still_open:
            return
        if time.monotonic() > self._deadline:
            self.errors.append(AssertionError("modal %s still open" % self.dialog_class.__name__))
            self.dialog.EndModal(WATCHDOG_CODE)
            return
        if self._pending:
            try:
                self._pending.pop(0)(self.dialog)
            except BaseException as exc:  # re-raised by check()
                self.errors.append(exc)
                self._pending = []
                self.dialog.EndModal(WATCHDOG_CODE)
                return
        wx.CallLater(STEP_MS, self._tick)

    def check(self):
        if self.errors:
            raise self.errors[0]


def gone(window):
    """Was `window` destroyed? (A top-level window dies at the next idle time.)"""
    flush_events(20)
    return not window


DIGIT_KEY_NAMES = ["DotPoint"] + ["m_button%d" % i for i in range(2, 18) if i != 14]


def digit_key(dialog, caption):
    """The key among the digit forms' sixteen whose caption is `caption`."""
    for name in DIGIT_KEY_NAMES:
        button = getattr(dialog, name)
        if button.GetLabel() == caption:
            return button
    raise LookupError(caption)


def left_down(ctrl):
    """A left-button press on `ctrl`, dispatched through its own event handler."""
    event = wx.MouseEvent(wx.wxEVT_LEFT_DOWN)
    event.SetEventObject(ctrl)
    ctrl.GetEventHandler().ProcessEvent(event)


def double_click_cell(grid, row, col):
    """The grid's own cell double-click event for (row, col)."""
    import wx.grid
    event = wx.grid.GridEvent(grid.GetId(), wx.grid.wxEVT_GRID_CELL_LEFT_DCLICK, grid, row, col)
    grid.GetEventHandler().ProcessEvent(event)


def touch_and_check(window, script):
    """A real click on `window` (the touch that opens a keypad), then `script.check()`."""
    flush_events(100)
    click(window)
    flush_events(200)
    script.check()
