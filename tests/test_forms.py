"""The keypad forms (tov_touchui) and the layout helper (tov_wxtools), under real wx."""
import os
import sys

import pytest
import wx

from gui import (KEY_TYPES, click, find_button, flush_events, lift, press, run_modal,
                 touch_down, type_keys)

# The sources, ahead of build/, whose copies may predate the last edit.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                                "forms"))
from tov_touchui import (AlphaKeypad, DigitKeypad, DigitPasswordKeypad,  # noqa: E402
                         TouchKey, caption)
from tov_touchui.texts import Caption, ValueField  # noqa: E402
from tov_wxtools import window_fit_layout  # noqa: E402

Digit, Pin, Alpha = DigitKeypad, DigitPasswordKeypad, AlphaKeypad
BACKSPACE, CLEAR, CONFIRM = caption("backspace"), caption("clear"), caption("confirm")
KEY_NAMES = ["DotPoint"] + ["m_button%d" % n for n in list(range(2, 14)) + [15, 16, 17]]
HANDLERS = {
    Digit: ("OnDigit", "OnDot", "OnNegative", "OnPositive", "OnClearAll", "on_enter"),
    Pin: ("on_digit", "on_clear", "on_confirm"),
    Alpha: ("on_character", "on_backspace", "on_clear", "on_shift", "on_caps_on", "on_caps_off"),
}


def recording(form_cls):
    """`form_cls` with every handler overridden to record (name, caption of the event's key)."""
    calls = []

    def make(name):
        return lambda self, event: calls.append((name, event.GetEventObject().GetLabel()))

    return type("Rec", (form_cls,), {n: make(n) for n in HANDLERS[form_cls]}), calls


def descendants(window):
    return [w for child in window.GetChildren() for w in [child] + descendants(child)]


def buttons(window):
    return [w for w in descendants(window) if isinstance(w, KEY_TYPES)]


def locate(dialog, where):
    """A key by attribute name, or by 'group:caption' (empty group: the whole dialog)."""
    if ":" not in where:
        return getattr(dialog, where)
    group, caption = where.split(":")
    return next(k for k in buttons(getattr(dialog, group) if group else dialog)
                if k.GetLabel() == caption)


def char_hook(dialog, code, unicode_key=None, control=False):
    """A synthetic char-hook event (no raw GDK keyval); returns whether it was passed on."""
    event = wx.KeyEvent(wx.wxEVT_CHAR_HOOK)
    event.SetKeyCode(code)
    event.SetUnicodeKey(code if unicode_key is None else unicode_key)
    event.SetRawKeyCode(0)  # uninitialised otherwise
    event.SetControlDown(control)
    dialog.GetEventHandler().ProcessEvent(event)
    return event.GetSkipped()


def show(dialog):
    dialog.Show()
    flush_events(150)


def on_display(window):
    return wx.Display(wx.Display.GetFromWindow(window)).GetClientArea().Contains(
        window.GetScreenRect())


@pytest.mark.parametrize("form_cls", [Digit, Pin, Alpha])
@pytest.mark.parametrize("with_parent", [False, True], ids=["no-parent", "frame"])
def test_constructs_with_contract_widgets_and_shows_unclipped(app, frame, form_cls,
                                                              with_parent):
    dialog = form_cls(frame if with_parent else None)
    assert dialog.GetParent() is (frame if with_parent else None)
    # S drawn caption, T value field, P masked value field, W panel
    kinds = {Digit: "ui_message:S mValueField:T ui_minimum:S ui_maxmum:S m_staticText3:S "
                    "m_staticText5:S",
             Pin: "ui_message:S ui_text:P",
             Alpha: "ui_message:S ui_value_normal:T ui_value_password:P Shift:W no_Shift:W "
                    + " ".join("ui_caps_%s_%d:W" % (s, n) for s in ("on", "off")
                               for n in range(3))}[form_cls]
    for name, kind in (item.split(":") for item in kinds.split()):
        widget = getattr(dialog, name)
        assert isinstance(widget, {"S": Caption, "W": wx.Window}.get(kind, ValueField))
        if kind in "TP":
            assert widget.GetValue() == "" and widget.IsPassword() == (kind == "P")
    if form_cls is Digit:
        assert (dialog.ui_minimum.GetLabel(), dialog.ui_maxmum.GetLabel()) == ("-∞", "+∞")
    show(dialog)
    assert on_display(dialog)
    # Measure afresh, not from sizes cached while the dialog was laid out.
    for widget in descendants(dialog):
        if isinstance(widget, wx.Window):
            widget.InvalidateBestSize()
    need, have = dialog.GetSizer().GetMinSize(), dialog.GetClientSize()
    assert have.width >= need.width and have.height >= need.height
    dialog.Destroy()


@pytest.mark.parametrize("form_cls", [Digit, Pin])
def test_sixteen_distinct_keys_and_only_digits_type(app, form_cls):
    cls, calls = recording(form_cls)
    dialog = cls(None)
    keys = [getattr(dialog, name) for name in KEY_NAMES]
    assert not hasattr(dialog, "m_button14") and all(isinstance(k, TouchKey) for k in keys)
    assert len({k.GetId() for k in keys}) == 16 and dialog.m_button17.GetId() == wx.ID_CANCEL
    for key in buttons(dialog):
        if key.IsShown() and key.GetId() != wx.ID_CANCEL:
            press(key)
    typed = sorted(c for n, c in calls if n == HANDLERS[form_cls][0])
    assert typed == list("0123456789")
    dialog.Destroy()


@pytest.mark.parametrize("form_cls, where, handler", [
    (Digit, "m_button2", "OnDigit"), (Digit, "DotPoint", "OnDot"),
    (Digit, "m_button12", "OnNegative"), (Digit, "m_button13", "OnPositive"),
    (Digit, "m_button15", "OnClearAll"), (Digit, "m_button16", "on_enter"),
    (Pin, "m_button8", "on_digit"), (Pin, "m_button15", "on_clear"),
    (Pin, "m_button16", "on_confirm"), (Alpha, "ui_caps_off_0:q", "on_character"),
    (Alpha, "no_Shift:1", "on_character"), (Alpha, ":Tab", "on_character"),
    (Alpha, ":Space", "on_character"), (Alpha, ":" + BACKSPACE, "on_backspace"),
    (Alpha, ":" + CLEAR, "on_clear"), (Alpha, "ui_caps_off_2:Caps", "on_caps_on"),
    (Alpha, "ui_caps_on_2:Caps", "on_caps_off"),
] + [(Alpha, "ui_shift_%d" % n, "on_shift") for n in range(4)])
def test_handlers_are_bound_by_name(app, form_cls, where, handler):
    cls, calls = recording(form_cls)
    dialog = cls(None)
    key = locate(dialog, where)
    press(key)
    assert calls == [(handler, key.GetLabel())]
    dialog.Destroy()


ENDINGS = [(f, "esc", lambda d: type_keys(d, wx.WXK_ESCAPE), wx.ID_CANCEL) for f in HANDLERS]
ENDINGS += [(f, "close-box", lambda d: d.Close(), wx.ID_CANCEL) for f in HANDLERS]
ENDINGS += [
    (Alpha, "ok", lambda d: press(find_button(d, CONFIRM)), wx.ID_OK),
    (Alpha, "keypad-enter", lambda d: type_keys(d, wx.WXK_NUMPAD_ENTER), wx.ID_OK),
    # The digit forms' subclass checks the value before it ends the loop itself.
    (Digit, "enter", lambda d: press(d.m_button16), None),
    (Pin, "enter", lambda d: type_keys(d, wx.WXK_RETURN), None),
]


@pytest.mark.parametrize("form_cls, how, act, result", ENDINGS,
                         ids=["%s-%s" % (e[0].__name__, e[1]) for e in ENDINGS])
def test_how_the_modal_loop_ends(app, frame, form_cls, how, act, result):
    dialog = form_cls(frame)
    code = run_modal(dialog, lambda: act(dialog), lambda: dialog.EndModal(1234))
    assert code == (1234 if result is None else result)
    dialog.Destroy()


@pytest.mark.parametrize("form_cls, strokes, expected, field, after", [
    (Digit, [ord("7"), ord("."), ord("-"), "+", wx.WXK_DELETE, wx.WXK_RETURN,
             wx.WXK_NUMPAD_ENTER, wx.WXK_BACK, ord("x")],
     [("OnDigit", "7"), ("OnDot", "."), ("OnNegative", "-"), ("OnPositive", "+"),
      ("OnClearAll", CLEAR), ("on_enter", CONFIRM), ("on_enter", CONFIRM)], "mValueField", "4"),
    (Pin, [ord("5"), ord("."), "+", wx.WXK_DELETE, wx.WXK_RETURN] + [wx.WXK_BACK] * 3,
     [("on_digit", "5"), ("on_clear", CLEAR), ("on_confirm", CONFIRM)], "ui_text", ""),
    # "Z", "!", "&" and "~" sit in hidden groups: typed, they must arrive all the same.
    (Alpha, ["aZ1!&~ ", wx.WXK_TAB, wx.WXK_BACK, wx.WXK_DELETE],
     [("on_character", c) for c in ("a", "Z", "1", "!", "&", "~", "Space", "Tab")] +
     [("on_backspace", BACKSPACE), ("on_clear", CLEAR)], "ui_value_normal", "42"),
])
def test_physical_keys_fire_the_same_keys(app, form_cls, strokes, expected, field, after):
    cls, calls = recording(form_cls)
    dialog = cls(None)
    field = getattr(dialog, field)
    field.SetValue("42")
    run_modal(dialog, lambda: type_keys(dialog, *strokes), lambda: dialog.EndModal(1))
    assert calls == expected
    # Digit forms do Backspace themselves; Alpha's subclass does.
    assert field.GetValue() == after
    dialog.Destroy()


def test_char_hook_translation_pass_through_and_disabled_point(app):
    cls, calls = recording(Alpha)
    dialog = cls(None)
    char_hook(dialog, ord("Q"))
    assert calls == [("on_character", "q")]
    dialog.Destroy()

    cls, calls = recording(Digit)
    dialog = cls(None)
    for code in (wx.WXK_NUMPAD3, wx.WXK_NUMPAD_DECIMAL, wx.WXK_NUMPAD_SUBTRACT):
        assert not char_hook(dialog, code, 0)  # Xvfb's Num Lock is off: synthetic keypad keys
    assert calls == [("OnDigit", "3"), ("OnDot", "."), ("OnNegative", "-")]
    assert char_hook(dialog, ord("A")) and char_hook(dialog, wx.WXK_F5, 0)
    assert char_hook(dialog, ord("7"), control=True)  # a shortcut, not typing
    dialog.DotPoint.Disable()  # integer mode
    assert not char_hook(dialog, wx.WXK_NUMPAD_DECIMAL, 0)
    run_modal(dialog, lambda: type_keys(dialog, ord("."), ord("5")), lambda: dialog.EndModal(1))
    assert calls[3:] == [("OnDigit", "5")]
    dialog.Destroy()


@pytest.mark.parametrize("form_cls, touched, stroke, expected, result", [
    (Digit, "7", wx.WXK_RETURN, [("OnDigit", "7"), ("on_enter", CONFIRM)], 1),
    (Digit, "7", ord(" "), [("OnDigit", "7")], 1),  # Space means nothing here: passed on
    (Alpha, "q", ord(" "), [("on_character", "q"), ("on_character", "Space")], 1),
])
def test_real_touch_then_space_or_enter_fires_once(app, form_cls, touched, stroke, expected,
                                                   result):
    # A touched GTK button takes the focus and would click itself again on Space or Enter.
    cls, calls = recording(form_cls)
    dialog = cls(None)
    assert run_modal(dialog, lambda: click(find_button(dialog, touched)),
                     lambda: type_keys(dialog, stroke), lambda: dialog.EndModal(1)) == result
    assert calls == expected
    dialog.Destroy()


@pytest.mark.parametrize("gesture, fires", [
    ("tap", 1), ("double tap", 2), ("slide off", 0), ("slide off and back", 1), ("disabled", 0),
])
def test_touch_key_fires_on_release_over_the_key(app, gesture, fires):
    cls, calls = recording(Digit)
    dialog = cls(None)
    key = dialog.m_button2  # "7"
    if gesture == "disabled":
        key.Disable()

    def touch():
        x, y, w, h = key.GetScreenRect()
        centre, beside = (x + w // 2, y + h // 2), (x + w // 2, y - h // 2)
        sim = wx.UIActionSimulator()
        sim.MouseMove(*centre)
        flush_events(30)
        if gesture == "double tap":
            sim.MouseDblClick(wx.MOUSE_BTN_LEFT)
        else:
            sim.MouseDown(wx.MOUSE_BTN_LEFT)
            flush_events(30)
            if gesture.startswith("slide off"):
                sim.MouseMove(*beside)
                flush_events(30)
            if gesture.endswith("back"):
                sim.MouseMove(*centre)
                flush_events(30)
            sim.MouseUp(wx.MOUSE_BTN_LEFT)
        flush_events(60)
        assert not key.HasCapture()
    assert run_modal(dialog, touch, lambda: dialog.EndModal(1)) == 1
    assert calls == [("OnDigit", "7")] * fires
    dialog.Destroy()


def ink(dialog, key):
    """Dark pixels `key` shows on screen; 0 when its caption did not render."""
    (x, y), (w, h) = key.GetScreenPosition() - dialog.GetScreenPosition(), key.GetSize()
    bitmap = wx.Bitmap(w, h)
    dc = wx.MemoryDC(bitmap)
    dc.Blit(0, 0, w, h, wx.ClientDC(dialog), x, y)
    del dc
    data = bitmap.ConvertToImage().GetData()
    return sum(1 for i in range(0, len(data), 3) if sum(data[i:i + 3]) < 300)


def test_alpha_groups_captions_ampersand_and_refit_after_swaps(app, frame):
    cls, calls = recording(Alpha)
    dialog = cls(frame)
    show(dialog)
    for names, state in (("no_Shift ui_caps_off_0 ui_caps_off_1 ui_caps_off_2", True),
                         ("Shift ui_caps_on_0 ui_caps_on_1 ui_caps_on_2", False)):
        assert [getattr(dialog, n).IsShown() for n in names.split()] == [state] * 4
    for n in range(4):
        shift = getattr(dialog, "ui_shift_%d" % n)
        assert shift.GetLabel() in ("Shift", "⇧") and shift.IsShownOnScreen()
        assert shift.GetBackgroundColour() == wx.Colour(225, 225, 255)
        assert shift not in buttons(dialog.Shift) + buttons(dialog.no_Shift)
    groups = {"no_Shift": "`1234567890-=[]\\;',./", "Shift": "!@#$%^&*()_+{}|:\"<>?~"}
    for n, row in enumerate(("qwertyuiop", "asdfghjkl", "zxcvbnm")):
        groups["ui_caps_off_%d" % n], groups["ui_caps_on_%d" % n] = row, row.upper()
    for name, chars in groups.items():
        found = [k.GetLabel() for k in buttons(getattr(dialog, name))]
        assert len(found) == len(set(found)) and set(found) - set(chars) <= {"Caps"}, name
        assert set(chars) <= set(found), name
    assert find_button(dialog, "Tab") and find_button(dialog, "Space")

    press(locate(dialog, "Shift:&"))
    assert calls == [("on_character", "&")]

    full = dialog.GetSize()
    dialog.no_Shift.Hide()
    window_fit_layout(dialog)
    assert dialog.GetSize().height < full.height  # shrinks, not only grows
    dialog.Shift.Show()
    for n in range(3):
        getattr(dialog, "ui_caps_off_%d" % n).Hide()
        getattr(dialog, "ui_caps_on_%d" % n).Show()
    assert window_fit_layout(dialog) is None
    assert dialog.GetSize() == full and on_display(dialog)
    key = locate(dialog, "Shift:!")  # laid out at once, inside its panel
    assert dialog.Shift.GetClientRect().Contains(key.GetRect()) and key.GetSize().width >= 64
    flush_events(100)
    # A bare "&" is a mnemonic marker in wx labels and would leave its key blank.
    assert [k.GetLabel() for k in buttons(dialog.Shift) if ink(dialog, k) < 5] == []
    dialog.Destroy()


@pytest.mark.parametrize("points", [20, 40])
@pytest.mark.parametrize("form_cls", [Digit, Pin])
def test_digit_keys_are_touch_sized_and_grow_with_the_font(app, frame, form_cls, points):
    dialog = form_cls(frame)
    keys = [getattr(dialog, n) for n in KEY_NAMES]
    for key in keys:  # what the subclass does before it shows the dialog
        key.SetFont(wx.Font(wx.FontInfo(points)))
    field = getattr(dialog, "mValueField", getattr(dialog, "ui_text", None))
    field.SetFont(wx.Font(wx.FontInfo(points + 12)))
    window_fit_layout(dialog)
    show(dialog)
    for key in (k for k in keys if k.IsShown()):
        size, best = key.GetSize(), key.GetBestSize()
        assert size.width >= max(64, best.width) and size.height >= max(64, best.height)
    assert field.GetSize().height > field.GetCharHeight()  # GTK's own guess is far too low
    dialog.Destroy()


@pytest.mark.parametrize("where", ["centre", "off-top-left", "no-parent", "huge"])
def test_fit_layout_centres_and_stays_on_the_display(app, frame, where):
    area = wx.Display(0).GetClientArea()
    frame.SetPosition((area.x - 300, area.y - 200) if where == "off-top-left" else
                      (area.x + area.width // 2 - 250, area.y + area.height // 2 - 100))
    flush_events()
    dialog = Digit(None if where == "no-parent" else frame)
    for name in KEY_NAMES if where == "huge" else ():
        getattr(dialog, name).SetFont(wx.Font(wx.FontInfo(160)))
    window_fit_layout(dialog)
    show(dialog)
    assert on_display(dialog)
    # Keys whose font asks for more than the screen has shrink back until the keypad fits.
    assert where != "huge" or min(getattr(dialog, n).GetSize().height for n in KEY_NAMES) >= 44
    if where in ("centre", "no-parent"):
        rect, target = dialog.GetScreenRect(), (frame.GetScreenRect() if where == "centre"
                                                else area)
        assert abs(rect.x + rect.width // 2 - (target.x + target.width // 2)) <= 1
        assert abs(rect.y + rect.height // 2 - (target.y + target.height // 2)) <= 1
    dialog.Destroy()


# -- feel, placement and robustness ---------------------------------------------------------

def hold(window, ms):
    """A real press on `window` held for `ms`, then released over it."""
    sim = touch_down(window)
    flush_events(ms)
    lift(sim)


@pytest.mark.parametrize("held_ms, deleted", [(0, {1}), (1100, set(range(4, 12)))])
def test_backspace_repeats_while_held_and_a_tap_deletes_one(app, frame, held_ms, deleted):
    dialog = Digit(frame)
    dialog.mValueField.SetValue("12345678901")
    show(dialog)
    hold(dialog.ui_backspace, held_ms)
    assert 11 - len(dialog.mValueField.GetValue()) in deleted
    dialog.Destroy()


def test_a_relayout_keeps_a_shown_keypad_where_it_is(app, frame):
    dialog = Alpha(frame)
    show(dialog)
    dialog.SetPosition((40, 30))
    flush_events()
    before = dialog.GetScreenRect()
    dialog.Shift.Show()
    dialog.no_Shift.Hide()
    window_fit_layout(dialog)
    flush_events()
    assert dialog.GetScreenRect().GetPosition() == before.GetPosition()
    dialog.Destroy()


# A keyboard as wide as the screen has no room beside a control in the middle: it is centred.
@pytest.mark.parametrize("where, form_cls", [("top-left", Alpha), ("bottom-right", Alpha),
                                             ("centre", Digit), ("centre", Pin)])
def test_a_keypad_opens_beside_the_touched_control(app, frame, where, form_cls):
    area = wx.Display(0).GetClientArea()
    frame.SetSize(area.GetSize())
    frame.SetPosition(area.GetPosition())
    ctrl = wx.TextCtrl(frame, size=(160, 40))
    spot = {"top-left": (20, 20), "centre": (area.width // 2 - 80, area.height // 2 - 20),
            "bottom-right": (area.width - 200, area.height - 120)}[where]
    ctrl.SetPosition(spot)
    flush_events(100)
    touched = ctrl.GetScreenRect()
    sim = wx.UIActionSimulator()
    sim.MouseMove(touched.x + 10, touched.y + 10)
    flush_events(50)
    dialog = form_cls(frame)  # opened while the finger is on the control
    show(dialog)
    assert on_display(dialog)
    assert not dialog.GetScreenRect().Intersects(touched)
    dialog.Destroy()


def test_the_field_holds_any_length_and_shows_its_end(app, frame):
    dialog = Alpha(frame)
    text = "x" * 80000 + "END"
    dialog.ui_value_normal.SetValue(text)
    show(dialog)
    assert dialog.ui_value_normal.GetValue() == text
    dialog.Destroy()


@pytest.mark.parametrize("step", ["_caps_key", "_fill_symbols", "_arrange", "_set_layout"])
@pytest.mark.parametrize("error", [KeyboardInterrupt, RuntimeError])
def test_a_form_that_fails_half_way_leaves_no_window(app, monkeypatch, step, error):
    def fail(*args, **kwargs):
        raise error("injected")

    monkeypatch.setattr(Alpha, step, fail)
    before = set(map(id, wx.GetTopLevelWindows()))
    with pytest.raises(error):
        Alpha(None)
    flush_events(50)
    assert set(map(id, wx.GetTopLevelWindows())) == before


def test_the_prompt_grows_with_the_keys_font(app, frame):
    sizes = []
    for points in (20, 30):
        dialog = Digit(frame)
        for name in KEY_NAMES:
            getattr(dialog, name).SetFont(wx.Font(wx.FontInfo(points)))
        window_fit_layout(dialog)
        sizes.append(dialog.ui_message.GetBestSize().height)
        dialog.Destroy()
    assert sizes[1] > sizes[0]
