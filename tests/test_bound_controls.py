"""A bound control as the application sees it: the events a confirmed keypad sends (those of a
person's commit, then EVT_KEYPAD_OK or EVT_KEYPAD_CANCEL), the keypad's prompt, and the mark
around the field while the keypad is open."""
import pytest
import wx
import wx.grid

import tov_touch
import tov_touchui
from gui import WhenModal, double_click_cell, find_button, flush_events, left_down, press

pytestmark = pytest.mark.timeout(60)

INT, FLOAT = tov_touch.KEYPAD_MODE_INT, tov_touch.KEYPAD_MODE_FLOAT

# What the application hears of a control: (event binder, what is recorded of the event).
HEARD = {
    "text": (wx.EVT_TEXT, lambda e: e.GetString()),
    "enter": (wx.EVT_TEXT_ENTER, lambda e: e.GetString()),
    "spin": (wx.EVT_SPINCTRL, lambda e: e.GetPosition()),
    "spin-double": (wx.EVT_SPINCTRLDOUBLE, lambda e: e.GetValue()),
    "changing": (wx.grid.EVT_GRID_CELL_CHANGING, lambda e: (e.GetRow(), e.GetCol(), e.GetString())),
    "changed": (wx.grid.EVT_GRID_CELL_CHANGED, lambda e: (e.GetRow(), e.GetCol(), e.GetString())),
    "ok": (tov_touchui.EVT_KEYPAD_OK, lambda e: e.GetString()),
    "cancel": (tov_touchui.EVT_KEYPAD_CANCEL, lambda e: e.GetString()),
}


def listen(window, veto=()):
    """Every event of HEARD the application's handlers on `window` get (command events rise
    from the control to its window), in order; the kinds in `veto` are vetoed."""
    heard = []
    for kind, (binder, what) in HEARD.items():
        def handler(event, kind=kind, what=what):
            heard.append((kind, what(event)))
            if kind in veto:
                event.Veto()
        window.Bind(binder, handler)
    return heard


def grid(frame):
    control = wx.grid.Grid(frame)
    control.CreateGrid(3, 3)
    control.SetCellValue(1, 2, "4000")
    return control


CONTROLS = {
    "text": lambda frame: wx.TextCtrl(frame, value="4000"),
    "text, Enter": lambda frame: wx.TextCtrl(frame, value="4000", style=wx.TE_PROCESS_ENTER),
    "combo, Enter": lambda frame: wx.ComboBox(frame, value="4000", choices=["4000", "5000"],
                                              style=wx.TE_PROCESS_ENTER),
    "static": lambda frame: wx.StaticText(frame, label="4000"),
    "spin": lambda frame: wx.SpinCtrl(frame, min=0, max=9999, initial=4000),
    "spin double": lambda frame: wx.SpinCtrlDouble(frame, min=0, max=9999, initial=4000),
    "grid": grid,
}


def open_keypad(proxy, control, *actions):
    keypad = tov_touch.DigitKeypad if isinstance(proxy, tov_touch.DigitKeypadProxy) \
        else tov_touch.AlphaKeypad
    script = WhenModal(keypad, *actions)
    if isinstance(control, wx.grid.Grid):
        double_click_cell(control, 1, 2)
    else:
        left_down(control)
    script.check()


def confirm_4500(keypad):
    keypad.set_value("4500")
    press(find_button(keypad, tov_touchui.caption("confirm")))


def cancel(keypad):
    keypad.EndModal(wx.ID_CANCEL)


@pytest.mark.parametrize("name, events", [
    ("text", [("text", "4500"), ("ok", "4500")]),
    ("text, Enter", [("text", "4500"), ("enter", "4500"), ("ok", "4500")]),
    ("combo, Enter", [("text", "4500"), ("enter", "4500"), ("ok", "4500")]),
    ("static", [("ok", "4500")]),
    ("spin", [("spin", 4500), ("ok", "4500")]),
    ("spin double", [("spin-double", 4500.0), ("ok", "4500")]),
    ("grid", [("changing", (1, 2, "4500")), ("changed", (1, 2, "4000")), ("ok", "4500")]),
])
@pytest.mark.parametrize("proxy_class", [tov_touch.DigitKeypadProxy, tov_touch.AlphaKeypadProxy])
def test_a_confirmed_value_reaches_the_application_as_a_persons_commit(frame, proxy_class, name,
                                                                       events):
    control = CONTROLS[name](frame)
    proxy = proxy_class(control)
    heard = listen(frame)
    open_keypad(proxy, control, confirm_4500)
    # EVT_TEXT may come more than once (GTK's spin and combo entries echo a write).
    assert [e for e in heard if e[0] != "text"] == [e for e in events if e[0] != "text"]
    assert ("text" in dict(heard)) == ("text" in dict(events))
    assert proxy._ctrl.get_string() in ("4500", "4500.0")


@pytest.mark.parametrize("name", sorted(CONTROLS))
def test_cancel_sends_nothing_but_keypad_cancel(frame, name):
    control = CONTROLS[name](frame)
    proxy = tov_touch.DigitKeypadProxy(control)
    heard = listen(frame)
    open_keypad(proxy, control, lambda pad: pad.set_value("4500"), cancel)
    assert heard == [("cancel", "")]


@pytest.mark.parametrize("veto, cell, events", [
    ("changing", "4000", [("changing", (1, 2, "4500")), ("cancel", "")]),
    ("changed", "4000", [("changing", (1, 2, "4500")), ("changed", (1, 2, "4000")),
                         ("cancel", "")]),
])
def test_a_grid_veto_keeps_the_cell(frame, veto, cell, events):
    control = grid(frame)
    proxy = tov_touch.DigitKeypadProxy(control)
    heard = listen(frame, veto=(veto,))
    open_keypad(proxy, control, confirm_4500)
    assert heard == events
    assert control.GetCellValue(1, 2) == cell


def prompt_of(keypad, into):
    into.append(keypad.ui_message.GetLabel() if keypad.ui_message.IsShown() else None)


@pytest.mark.parametrize("dress, language, prompt", [
    (lambda ctrl, proxy: setattr(proxy, "prompt", "Feed rate"), "de", "Feed rate"),
    (lambda ctrl, proxy: None, "de", "Spindle speed"),  # the label beside it
    (lambda ctrl, proxy: ctrl.SetToolTip("Spindle"), "en", "Spindle speed"),
    (lambda ctrl, proxy: ctrl.GetContainingSizer().Detach(0), "en", "Enter a number:"),
    (lambda ctrl, proxy: (ctrl.GetContainingSizer().Detach(0), ctrl.SetToolTip("Speed")), "en",
     "Speed"),
    (lambda ctrl, proxy: (ctrl.GetContainingSizer().Detach(0), ctrl.SetName("feed_rate")),
     "en", "feed rate"),
    (lambda ctrl, proxy: ctrl.GetContainingSizer().Detach(0), "de", "Zahl eingeben:"),
])
def test_the_prompt_names_the_field(frame, dress, language, prompt):
    tov_touchui.set_language(language)
    try:
        panel = wx.Panel(frame)
        sizer = wx.BoxSizer(wx.HORIZONTAL)
        label = wx.StaticText(panel, label="Spindle &speed")
        control = wx.TextCtrl(panel, value="1")
        sizer.Add(label)
        sizer.Add(control)
        panel.SetSizer(sizer)
        proxy = tov_touch.DigitKeypadProxy(control, FLOAT)
        dress(control, proxy)
        seen = []
        open_keypad(proxy, control, lambda pad: prompt_of(pad, seen), cancel)
        assert seen == [prompt]
    finally:
        tov_touchui.set_language(None)


def test_a_grid_cell_is_named_by_its_column_and_row(frame):
    control = grid(frame)
    control.SetColLabelValue(2, "Feed")
    control.SetRowLabelValue(1, "X axis")
    proxy = tov_touch.AlphaKeypadProxy(control)
    seen = []
    open_keypad(proxy, control, lambda pad: prompt_of(pad, seen), cancel)
    assert seen == ["Feed, X axis"]


def marks(host):
    accent = tov_touchui.theme.palette().accent
    return [child for child in host.GetChildren()
            if type(child) is wx.Window and child.GetBackgroundColour() == accent]


def control_and_host(frame, kind):
    if kind == "grid":
        control = grid(frame)
        return control, control.GetGridWindow()
    panel = wx.Panel(frame, size=(300, 200))
    return wx.TextCtrl(panel, value="1", pos=(40, 40), size=(100, 30)), panel


@pytest.mark.parametrize("kind", ["text", "grid"])
@pytest.mark.parametrize("ending", ["cancel", "confirm", "control destroyed", "screen destroyed"])
def test_the_field_is_marked_while_its_keypad_is_open(frame, kind, ending):
    if ending == "screen destroyed":  # a screen of its own, not the fixture's
        frame = wx.Frame(None)
        frame.Show()
    control, host = control_and_host(frame, kind)
    field = control.GetRect() if kind == "text" else control.CellToRect(1, 2)
    proxy = tov_touch.DigitKeypadProxy(control)
    bars = []

    def look(pad):
        bars.extend(marks(host))
        if ending == "control destroyed":
            control.Destroy()
        elif ending == "screen destroyed":
            host.GetTopLevelParent().Destroy()
            return
        (cancel if ending == "cancel" else confirm_4500)(pad)

    framed = []
    script = WhenModal(tov_touch.DigitKeypad,
                       lambda pad: framed.extend(bar.GetRect() for bar in marks(host)), look,
                       cancel)
    if kind == "grid":
        double_click_cell(control, 1, 2)
    else:
        left_down(control)
    script.check()
    flush_events(50)
    outline = framed[0]
    for rect in framed[1:]:
        outline = outline.Union(rect)
    assert len(bars) == 4 and outline == field.Inflate(tov_touchui.editing.MARK_PX)
    assert all(not bar for bar in bars), "the mark goes with the keypad"
