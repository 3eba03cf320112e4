"""The control wrappers over real wx controls and over odd objects."""
import subprocess
import sys

import pytest
import wx
import wx.grid

import tov_touch

pytestmark = pytest.mark.timeout(60)
UNSUPPORTED = "Widget type not supported."


class Plain(object):
    """Not a wx window: only what a test gives it."""

    def __init__(self, style=0, **methods):
        self.style = style
        for name, method in methods.items():
            setattr(self, name, method)

    def GetWindowStyle(self):
        return self.style


class RecordingGrid(wx.grid.Grid):
    def __init__(self, parent):
        super().__init__(parent)
        self.CreateGrid(5, 5)
        self.calls = []

    def GetCellValue(self, *args, **kwargs):
        self.calls.append(("GetCellValue", args, kwargs))
        return super().GetCellValue(*args, **kwargs)

    def SetCellValue(self, *args, **kwargs):
        self.calls.append(("SetCellValue", args, kwargs))
        return super().SetCellValue(*args, **kwargs)


def test_text_control_keeps_blanks(frame):
    ctrl = wx.TextCtrl(frame, value=" 12 ")
    wrapper = tov_touch._CtrlWrapper(ctrl)
    assert wrapper.get_string() == " 12 "
    wrapper.set_string("7")
    assert ctrl.GetValue() == "7"
    assert wrapper.get_parent() is frame


def test_static_text_reads_and_writes_the_label(frame):
    label = wx.StaticText(frame, label="3.5")
    wrapper = tov_touch._CtrlWrapper(label)
    assert wrapper.get_string() == "3.5"
    wrapper.set_string("8")
    assert label.GetLabel() == "8"


def test_value_comes_as_text_and_labels_unconverted():
    assert tov_touch._CtrlWrapper(Plain(GetValue=lambda: 5)).get_string() == "5"
    label = object()
    assert tov_touch._CtrlWrapper(Plain(GetLabel=lambda: label)).get_string() is label


def test_any_exception_while_probing_counts_as_absence():
    class Awkward(Plain):
        @property
        def GetValue(self):
            raise ValueError("not today")

    written = []
    wrapper = tov_touch._CtrlWrapper(Awkward(GetLabel=lambda: "L", SetLabel=written.append))
    assert wrapper.get_string() == "L"
    wrapper.set_string(9)
    assert written == [9]


@pytest.mark.parametrize("call", [lambda w: w.get_string(), lambda w: w.set_string("x")])
def test_control_without_accessors(call):
    with pytest.raises(TypeError) as caught:
        call(tov_touch._CtrlWrapper(Plain()))
    assert str(caught.value) == UNSUPPORTED


def test_parentless_control_is_its_own_parent():
    lonely = Plain(GetParent=lambda: None)
    assert tov_touch._CtrlWrapper(lonely).get_parent() is lonely


def test_window_style_is_a_snapshot(frame):
    ctrl = wx.TextCtrl(frame, style=wx.TE_PASSWORD)
    wrapper = tov_touch._CtrlWrapper(ctrl)
    ctrl.SetWindowStyle(0)
    assert wrapper.window_style & wx.TE_PASSWORD


def test_abstract_base(frame):
    with pytest.raises(TypeError):
        tov_touch._CtrlWrapperBase(wx.TextCtrl(frame))
    assert tov_touch._CtrlWrapperBase.__abstractmethods__ == frozenset({"get_string", "set_string"})
    wrapper = tov_touch._CtrlWrapper(wx.TextCtrl(frame))
    assert isinstance(wrapper, tov_touch._CtrlWrapperBase)
    assert tov_touch._CtrlWrapperBase.get_string(wrapper) is None
    assert tov_touch._CtrlWrapperBase.set_string(wrapper, "x") is None
    assert tov_touch._CtrlWrapper.__doc__ == "\n\tTextCtrl、StaticText 等控件的封装类。\n\t"


def test_grid_cell_addressing(frame):
    grid = RecordingGrid(frame)
    grid.SetCellValue(3, 1, "cell")
    grid.calls.clear()
    wrapper = tov_touch._GridWrapper(grid)
    assert (wrapper.row, wrapper.column) == (0, 0)
    assert vars(wrapper)["_GridWrapper__row"] == 0
    wrapper.get_string()
    wrapper.row, wrapper.column = 3, 1
    assert wrapper.get_string() == "cell"
    wrapper.set_string("x")
    assert grid.calls == [("GetCellValue", (), {"row": 0, "col": 0}),
                          ("GetCellValue", (), {"row": 3, "col": 1}),
                          ("SetCellValue", (3, 1, "x"), {})]
    assert grid.GetCellValue(3, 1) == "x"


def test_grid_coordinates_are_stored_unconverted(frame):
    grid = RecordingGrid(frame)
    wrapper = tov_touch._GridWrapper(grid)
    wrapper.row = "3"
    assert wrapper.row == "3"
    with pytest.raises(TypeError):
        wrapper.get_string()  # wx refuses the str: the grid saw it unchanged
    assert tov_touch._GridWrapper.row.fset.__annotations__ == {"value": "int"}


def test_grid_wrapper_asserts_a_grid(frame):
    with pytest.raises(AssertionError) as caught:
        tov_touch._GridWrapper(wx.TextCtrl(frame))
    assert str(caught.value) == ""


def test_grid_wrapper_skips_the_assertion_when_optimised():
    code = ("import wx, tov_touch\n"
            "app = wx.App(False)\n"
            "frame = wx.Frame(None)\n"
            "wrapper = tov_touch._GridWrapper(wx.TextCtrl(frame))\n"
            "try:\n"
            "    wrapper.get_string()\n"
            "except AttributeError:\n"
            "    print('AttributeError')\n")
    result = subprocess.run([sys.executable, "-O", "-c", code], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, universal_newlines=True, timeout=60,
                            env=_env())
    assert result.stdout.strip() == "AttributeError", result.stderr


def _env():
    import os
    env = dict(os.environ)
    env["PYTHONPATH"] = os.pathsep.join(p for p in sys.path if p)
    return env


@pytest.mark.parametrize("make", [
    lambda frame: tov_touch._CtrlWrapper(object()),
    lambda frame: tov_touch._CtrlWrapper(None),
    lambda frame: tov_touch._GridWrapper(5),
])
def test_foreign_objects_are_exceptions(frame, make):
    with pytest.raises((AttributeError, AssertionError)):
        make(frame)


def test_destroyed_control(frame, app):
    ctrl = wx.TextCtrl(frame, value="1")
    wrapper = tov_touch._CtrlWrapper(ctrl)
    ctrl.Destroy()
    app.Yield(True)
    # hasattr on a dead wx object fails, which counts as "no accessor".
    with pytest.raises((RuntimeError, TypeError)):
        wrapper.get_string()
    with pytest.raises(RuntimeError):
        tov_touch._CtrlWrapper(ctrl)
