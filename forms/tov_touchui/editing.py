"""The field a bound keypad edits, as the operator and the application see it: the keypad's
prompt names the field, a frame in the palette's accent colour marks it while the keypad is
open, and the application hears how the keypad ended (EVT_KEYPAD_OK, EVT_KEYPAD_CANCEL)."""
import wx
import wx.grid

from . import theme
from .captions import caption

wxEVT_KEYPAD_OK = wx.NewEventType()
wxEVT_KEYPAD_CANCEL = wx.NewEventType()
EVT_KEYPAD_OK = wx.PyEventBinder(wxEVT_KEYPAD_OK, 1)
EVT_KEYPAD_CANCEL = wx.PyEventBinder(wxEVT_KEYPAD_CANCEL, 1)

MARK_PX = 3

# The names wx gives a control the application did not name: they say nothing to an operator.
_UNNAMED = {getattr(wx, name, None) for name in (
    "TextCtrlNameStr", "SpinCtrlNameStr", "ComboBoxNameStr", "StaticTextNameStr",
    "ControlNameStr", "PanelNameStr", "SearchCtrlNameStr", "ChoiceNameStr")}
_UNNAMED |= {"text", "wxSpinCtrl", "wxSpinCtrlDouble", "comboBox", "staticText", "grid",
             "panel", "control", "searchCtrl", "choice", ""}


class KeypadEvent(wx.PyCommandEvent):
    """What a bound control's keypad ended with, sent to the control and up to its parents.

    EVT_KEYPAD_OK comes once the confirmed text is written and the control's own events have
    gone out; EVT_KEYPAD_CANCEL when nothing was written (cancelled, or the application
    vetoed a grid cell's change). GetString() is the text written ("" on cancel); on a grid,
    GetRow() and GetCol() name the cell (-1 elsewhere).
    """

    def __init__(self, event_type, control, text="", row=-1, col=-1):
        wx.PyCommandEvent.__init__(self, event_type, control.GetId())
        self.SetEventObject(control)
        self.SetString(text)
        self._row, self._col = row, col

    def GetRow(self):
        return self._row

    def GetCol(self):
        return self._col


class EditedField(object):
    """A bound control (or one grid cell) while its keypad is open.

    `prompt` is the keypad's prompt: the one the application gave (`given`), else the field's
    name as the application shows it (the label beside it, its tooltip, its name; a cell's
    column and row labels), else the keypad's default for `kind` ("number" or "text") in the
    application's language. The mark goes with finish() or unmark(), or with the control.
    """

    def __init__(self, control, row=None, col=None, given=None, kind="text"):
        # Anything with a text can be bound; only a wx window has a name and a place to mark.
        self._window = control if isinstance(control, wx.Window) else None
        self._control = control
        self._cell = (row, col) if isinstance(control, wx.grid.Grid) else None
        if given is None:
            given = (self._window and self._name()) or caption("prompt_" + kind)
        self.prompt = given if type(given) is str else str(given)
        self._bars = []
        if self._window:
            try:
                self._mark()
            except BaseException:
                self.unmark()  # the caller never gets the field to unmark
                raise

    # -- naming ------------------------------------------------------------------------------

    def _name(self):
        if self._cell is not None:
            return _cell_name(self._control, *self._cell)
        return (_label_beside(self._control) or self._control.GetToolTipText()
                or _own_name(self._control))

    # -- marking -----------------------------------------------------------------------------

    def _mark(self):
        if self._cell is not None:
            host, rect = _cell_rect(self._control, *self._cell)
        else:
            host, rect = self._control.GetParent(), self._control.GetRect()
        # A control is no container: a child window inside one (a text control's) breaks it.
        if host is None or isinstance(host, wx.Control) or rect.IsEmpty() or _going(host):
            return
        colour = theme.palette().accent
        rect = rect.Inflate(MARK_PX, MARK_PX)
        for x, y, w, h in ((rect.x, rect.y, rect.width, MARK_PX),
                           (rect.x, rect.GetBottom() - MARK_PX + 1, rect.width, MARK_PX),
                           (rect.x, rect.y, MARK_PX, rect.height),
                           (rect.GetRight() - MARK_PX + 1, rect.y, MARK_PX, rect.height)):
            bar = wx.Window(host, pos=(x, y), size=(w, h), style=wx.BORDER_NONE)
            bar.SetBackgroundColour(colour)
            bar.SetCanFocus(False)
            bar.Raise()
            self._bars.append(bar)
        self._control.Bind(wx.EVT_WINDOW_DESTROY, self._on_control_destroyed)

    def unmark(self):
        """Takes the frame away; safe on every path, the control's destruction included."""
        bars, self._bars = self._bars, []
        for bar in bars:
            if bar:  # a bar goes with its window when the screen is destroyed
                bar.Destroy()
        if bars and self._control:
            self._control.Unbind(wx.EVT_WINDOW_DESTROY, handler=self._on_control_destroyed)

    def _on_control_destroyed(self, event):
        event.Skip()
        if event.GetEventObject() is self._control:
            self.unmark()

    # -- ending ------------------------------------------------------------------------------

    def finish(self, written, text):
        """Unmarks the field and tells the application how its keypad ended."""
        self.unmark()
        if not self._window:  # not a wx window, or the screen went away with the keypad
            return
        row, col = self._cell or (-1, -1)
        if written:
            event = KeypadEvent(wxEVT_KEYPAD_OK, self._control, text, row, col)
        else:
            event = KeypadEvent(wxEVT_KEYPAD_CANCEL, self._control, "", row, col)
        self._control.GetEventHandler().ProcessEvent(event)


def _going(window):
    """Is `window` on its way out (destroyed, with its screen, at the next idle time)? A new
    child of such a window would outlive it."""
    return any(w.IsBeingDeleted() for w in (window, window.GetTopLevelParent()) if w)


def _label_beside(control):
    """The text of the static text just before `control` in its sizer, or among its parent's
    children when it is in no sizer: where forms put a field's label."""
    sizer = control.GetContainingSizer()
    if sizer is not None:
        windows = [item.GetWindow() for item in sizer.GetChildren()]
    elif control.GetParent() is not None:
        windows = list(control.GetParent().GetChildren())
    else:
        return ""
    index = next((i for i, window in enumerate(windows) if window is control), 0)
    before = windows[index - 1] if index > 0 else None
    if isinstance(before, wx.StaticText):
        return wx.StripMenuCodes(before.GetLabel()).strip()
    return ""


def _own_name(control):
    name = control.GetName()
    return "" if name in _UNNAMED else name.replace("_", " ")


def _cell_name(grid, row, col):
    column = grid.GetColLabelValue(col) if _in_grid(grid, row, col) else ""
    line = grid.GetRowLabelValue(row) if _in_grid(grid, row, col) else ""
    return ", ".join(part for part in (column, line) if part)


def _in_grid(grid, row, col):
    return (isinstance(row, int) and isinstance(col, int)
            and 0 <= row < grid.GetNumberRows() and 0 <= col < grid.GetNumberCols())


def _cell_rect(grid, row, col):
    if not _in_grid(grid, row, col):
        return None, wx.Rect()
    rect = grid.CellToRect(row, col)
    rect.SetPosition(grid.CalcScrolledPosition(rect.GetPosition()))
    return grid.GetGridWindow(), rect
