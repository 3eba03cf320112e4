"""The numeric keypad on the real form, driven with real button events under Xvfb."""
import pytest
import wx

import tov_touch
import tov_touchui
from gui import DIGIT_KEY_NAMES, click, digit_key, flush_events, press, run_modal

pytestmark = pytest.mark.timeout(60)

INT, FLOAT = tov_touch.KEYPAD_MODE_INT, tov_touch.KEYPAD_MODE_FLOAT
INVALID = "Invalid number format. Please input again."
OUT_OF_RANGE = "Number value is out of range. Please input again."


@pytest.fixture
def make_pad(frame):
    """Makes the dialog over the test's frame; the frame fixture destroys it afterwards."""
    return lambda *args, **kwargs: tov_touch.DigitKeypad(frame, *args, **kwargs)


def type_keys(pad, captions):
    for caption in captions:
        press(digit_key(pad, caption))


class TestConstruction:

    @pytest.mark.parametrize("mode, message, prompt", [
        (INT, None, "请输入一个整数："),
        (FLOAT, None, "请输入一个浮点数："),
        (7, None, "请输入一个浮点数："),
        (INT, "", ""),
        (FLOAT, "Speed:", "Speed:"),
    ])
    def test_prompt(self, make_pad, mode, message, prompt):
        assert make_pad(mode, message=message).ui_message.GetLabel() == prompt

    def test_refused_message_makes_no_window(self, frame):
        before = len(wx.GetTopLevelWindows())
        with pytest.raises(TypeError, match=r"expected str, got int"):
            tov_touch.DigitKeypad(frame, INT, message=5)
        assert len(wx.GetTopLevelWindows()) == before

    @pytest.mark.parametrize("font_size, show_size, field_points", [
        (20, None, 32), (20, 40, 40), (30, None, 42)])
    def test_fonts(self, make_pad, font_size, show_size, field_points):
        pad = make_pad(FLOAT, font_size=font_size, show_size=show_size)
        assert pad.mValueField.GetFont().GetPointSize() == field_points
        for name in DIGIT_KEY_NAMES + ["m_staticText3", "ui_minimum", "ui_maxmum", "m_staticText5"]:
            assert getattr(pad, name).GetFont().GetPointSize() == font_size, name

    def test_prompt_keeps_the_form_font(self, make_pad, frame):
        form = tov_touchui.DigitKeypad(frame)
        try:
            expected = form.ui_message.GetFont().GetPointSize()
        finally:
            form.Destroy()
        assert make_pad(INT, font_size=31).ui_message.GetFont().GetPointSize() == expected

    def test_unbounded_labels_keep_the_form_text(self, make_pad, frame):
        form = tov_touchui.DigitKeypad(frame)
        try:
            texts = form.ui_minimum.GetLabel(), form.ui_maxmum.GetLabel()
        finally:
            form.Destroy()
        pad = make_pad(INT)
        assert (pad.ui_minimum.GetLabel(), pad.ui_maxmum.GetLabel()) == texts

    @pytest.mark.parametrize("minimum, maximum, labels", [
        (0, 100, ("0", "100")), (0.5, 100.0, ("0.5", "100.0")), (-5, float("inf"), ("-5", None))])
    def test_bound_labels(self, make_pad, minimum, maximum, labels):
        pad = make_pad(FLOAT, minimum, maximum)
        assert pad.ui_minimum.GetLabel() == labels[0]
        if labels[1] is not None:
            assert pad.ui_maxmum.GetLabel() == labels[1]
        assert (pad._minimum, pad._maximum) == (minimum, maximum)

    @pytest.mark.parametrize("mode, enabled", [(INT, False), (FLOAT, True), (3, True)])
    def test_decimal_point_only_outside_integer_mode(self, make_pad, mode, enabled):
        assert make_pad(mode).DotPoint.IsEnabled() is enabled


class TestKeys:

    @pytest.mark.parametrize("start, captions, text", [
        ("", "12", "12"),
        ("0", "5", "5"),
        ("-0", "5", "-5"),
        ("0", "0", "0"),
        ("0", ".5", "0.5"),
        ("", "-", "-"),
        ("", "-.", "-."),
        ("0", "-3", "-3"),
        ("12", "--", "-12"),
        ("1", "..", "1."),
        ("-7", "+", "7"),
        ("-", "+", ""),
        ("-1.5", "-", "-1.5"),
    ])
    def test_sequences(self, make_pad, start, captions, text):
        pad = make_pad(FLOAT)
        pad.set_value(start)
        type_keys(pad, captions)
        assert pad.get_value() == text

    def test_clear_and_the_caption_is_what_is_typed(self, make_pad):
        pad = make_pad(FLOAT)
        pad.SetValue("123")
        press(digit_key(pad, "9"))
        assert pad.GetValue() == "1239"
        pad.OnClearAll(None)
        assert pad.GetValue() == ""

    def test_value_is_the_text_unconverted(self, make_pad):
        pad = make_pad(INT)
        pad.set_value("12")
        assert pad.get_value() == "12" and type(pad.get_value()) is str
        assert tov_touch.DigitKeypad.GetValue is tov_touch.DigitKeypad.get_value


def enter(pad, text):
    """Shows `pad` modally, types `text` into the field, presses Enter; the ShowModal result."""
    def still_open_so_cancel():
        if pad.IsModal():
            pad.EndModal(wx.ID_CANCEL)
    return run_modal(pad, lambda: pad.set_value(text), lambda: pad.on_enter(None),
                     still_open_so_cancel)


class TestEnter:

    @pytest.mark.parametrize("mode, bounds, text, box", [
        (INT, (), "", INVALID),
        (INT, (), "-", INVALID),
        (INT, (), "-.", INVALID),
        (FLOAT, (0, 10), "10", None),
        (FLOAT, (0, 10), "0", None),
        (FLOAT, (0, 10), "10.5", OUT_OF_RANGE),
        (FLOAT, (0, 10), "-0.1", OUT_OF_RANGE),
        (INT, (-5, 5), "-5", None),
        (INT, (-5, 5), "5", None),
        (INT, (-5, 5), "6", OUT_OF_RANGE),
        (FLOAT, (0,), "-0.", None),
        (FLOAT, (0,), "-0", None),
        (FLOAT, (0,), "0.", None),
        (FLOAT, (0, 1), "nan", None),
        (FLOAT, (), "inf", None),
        (FLOAT, (0, 1e9), "inf", OUT_OF_RANGE),
        (INT, (), "-123456789012345678901234567890", None),
        # Texts the conversion refuses get the format box instead of a lost traceback.
        (FLOAT, (), ".", INVALID),
        (INT, (), "1.5", INVALID),
        (INT, (), " 12 ", None),
    ])
    def test_validation(self, make_pad, message_boxes, mode, bounds, text, box):
        pad = make_pad(mode, *bounds)
        result = enter(pad, text)
        if box is None:
            assert result == wx.ID_OK and message_boxes == []
        else:
            assert result == wx.ID_CANCEL, "a refused text must keep the dialog open"
            assert message_boxes == [(box, (), {"style": wx.OK | wx.ICON_ERROR})]
        assert pad.get_value() == text

    def test_unorderable_bound_propagates(self, make_pad, message_boxes):
        pad = make_pad(INT, None)
        pad.set_value("3")
        with pytest.raises(TypeError):
            pad.on_enter(None)
        assert message_boxes == []

    def test_subclass_range_rule_is_used(self, frame, message_boxes):
        class EvenOnly(tov_touch.DigitKeypad):
            def out_of_range(self, value):
                return value % 2 == 1
        pad = EvenOnly(frame, INT)
        try:
            assert enter(pad, "3") == wx.ID_CANCEL
            assert [m for m, _, _ in message_boxes] == [OUT_OF_RANGE]
            assert enter(pad, "4") == wx.ID_OK
        finally:
            pad.Destroy()


def test_end_to_end_with_mouse_clicks(frame, message_boxes):
    """Real X clicks on the keys: 1, 2, minus, Enter, the way a finger would do it."""
    pad = tov_touch.DigitKeypad(frame, INT, -100, 100)
    try:
        touches = [lambda c=c: click(digit_key(pad, c)) for c in ["1", "2", "-", tov_touchui.caption("confirm")]]
        result = run_modal(pad, lambda: flush_events(200), *touches, timeout_ms=15000)
        assert result == wx.ID_OK
        assert pad.get_value() == "-12"
        assert message_boxes == []
    finally:
        pad.Destroy()


class TestBadInput:
    """Odd arguments end as Python exceptions, never as a crash."""

    @pytest.mark.parametrize("args, kwargs", [
        (("not a window", INT), {}),
        ((None, INT), {"font_size": "big"}),
        ((None, INT), {"show_size": -1.5j}),
        ((None, INT), {"minimum": "0"}),
    ])
    def test_constructor(self, args, kwargs):
        before = set(wx.GetTopLevelWindows())
        try:
            pad = tov_touch.DigitKeypad(*args, **kwargs)
        except Exception as exc:
            assert not isinstance(exc, SystemError), exc
        else:
            pad.Destroy()
        flush_events(20)
        assert set(wx.GetTopLevelWindows()) == before

    def test_destroyed_parent(self, app):
        gone = wx.Frame(None)
        gone.Destroy()
        app.Yield(True)
        with pytest.raises(RuntimeError):
            tov_touch.DigitKeypad(gone, INT)

    def test_destroyed_dialog(self, frame):
        pad = tov_touch.DigitKeypad(frame, FLOAT)
        pad.Destroy()
        wx.GetApp().Yield(True)
        for call in (pad.get_value, lambda: pad.set_value("1"), lambda: pad.OnDot(None),
                     lambda: pad.on_enter(None)):
            with pytest.raises(RuntimeError):
                call()

    def test_handlers_with_foreign_events_and_values(self, make_pad):
        pad = make_pad(FLOAT)
        with pytest.raises(AttributeError):
            pad.OnDigit(None)
        with pytest.raises(TypeError):
            pad.set_value(12)
        with pytest.raises(TypeError):
            pad.out_of_range(None)


def test_long_bounds_stay_apart_on_screen(make_pad):
    pad = make_pad(FLOAT, -12345.5, 67890.25)
    gaps = []

    def measure():
        flush_events(150)
        gaps.append(pad.m_staticText5.GetScreenRect().x - pad.ui_minimum.GetScreenRect().GetRight())
    run_modal(pad, measure, lambda: pad.EndModal(wx.ID_CANCEL))
    assert gaps[0] > 10
